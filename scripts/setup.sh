#!/usr/bin/env bash
# Installs what building and testing Sondrel needs on a Debian machine. Safe to run again:
# it installs only what is missing, and is quick when nothing is.
#
# Wine runs Windows programs through its 32-bit Linux side. Where the kernel runs no 32-bit
# code, that side runs under qemu-user's i386 emulation (registered with binfmt_misc) with the
# 64-bit wineserver; elsewhere it runs natively and the emulation is not installed.
# SONDREL_EMULATE_I386=1 takes the emulated path on any machine, to try it where 32-bit code
# runs natively.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-source.sh

packages=(
  cmake make g++ googletest clang-format python3 locales
  # Static analysis of the portable code.
  clang-tidy cppcheck
  # The fuzz target: clang and its libFuzzer runtime.
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  # The second build of the reproducibility test runs at another date and time.
  faketime
  # The i486 toolchain's sources and what building GCC needs (scripts/toolchain.sh).
  gcc-12-source libgmp-dev libmpfr-dev libmpc-dev bzip2 xz-utils
  wine wine32 wine64 xvfb xauth x11-utils imagemagick
  # Wine's recommended X libraries for 32-bit programs; without them windows fail with
  # "no driver could be loaded".
  libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386 libfreetype6:i386
  libfontconfig1:i386
)
# Bookworm's own qemu 7.2 cannot run Wine; the backports suite's can.
emulation_suite=bookworm-backports
binfmt=/proc/sys/fs/binfmt_misc
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

apt_updated=
apt_update() {
  [ -n "$apt_updated" ] && return
  apt_updated=1
  # One index can fail while a mirror syncs (seen on the security suite's i386 list); what is
  # needed may still be installable from the others, so go on and let the install decide.
  as_root apt-get update -q || echo "setup: some package lists could not be fetched; going on" >&2
}

# Suites that have a package list for the machine's own architecture but none for i386: a
# failed download. Their newer amd64 versions would keep the matching i386 libraries from
# installing, so they are left out of this install.
suites_missing_i386() {
  local native
  native=$(dpkg --print-architecture)
  apt-get indextargets --format '$(CODENAME) $(ARCHITECTURE)' 'Created-By: Packages' | sort -u |
    awk -v native="$native" '$2 == native { n[$1] = 1 } $2 == "i386" { i[$1] = 1 }
      END { for (s in n) if (!(s in i)) print s }'
}

apt_install() {
  local prefs suite
  apt_update
  prefs=$(mktemp)
  trap 'rm -f "$prefs"' RETURN
  [ -f /etc/apt/preferences ] && cat /etc/apt/preferences >"$prefs"
  for suite in $(suites_missing_i386); do
    echo "setup: leaving out $suite, whose i386 package list is missing" >&2
    printf '\nPackage: *\nPin: release n=%s\nPin-Priority: -1\n' "$suite" >>"$prefs"
  done
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o Dir::Etc::Preferences="$prefs" \
    install -y -q --no-install-recommends "$@"
}

# Whether the kernel runs Wine's 32-bit side itself: asked with any qemu-i386 registration
# switched off for the moment, and put back as it was.
runs_32bit_natively() {
  local registration=$binfmt/qemu-i386 was_enabled= status=0
  if [ -f "$registration" ] && head -n 1 "$registration" | grep -qx enabled; then
    was_enabled=1
    echo 0 | as_root tee "$registration" >/dev/null
  fi
  /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 || status=$?
  [ -n "$was_enabled" ] && echo 1 | as_root tee "$registration" >/dev/null
  return $status
}

set_up_emulation() {
  local changed=
  if ! apt-cache policy qemu-user 2>/dev/null | grep -q " $emulation_suite/"; then
    add_debian_source "$emulation_suite.sources" deb "$emulation_suite"
    apt_updated=
  fi
  if ! dpkg-query -W -f='${Version}' qemu-user 2>/dev/null | grep -q '^1:[1-9][0-9]\.'; then
    echo "setup: installing qemu-user from $emulation_suite"
    changed=1
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      -t "$emulation_suite" qemu-user
  fi
  [ -f "$binfmt/status" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -f "$binfmt/qemu-i386" ]; then
    echo 1 | as_root tee "$binfmt/qemu-i386" >/dev/null
  else
    # F: the interpreter is opened now, so it is found from any root and in any namespace.
    echo ":qemu-i386:M::$i386_magic:$i386_mask:/usr/bin/qemu-i386:F" |
      as_root tee "$binfmt/register" >/dev/null
    changed=1
  fi
  local answer
  if ! answer=$(/usr/lib/wine/wineserver32 --version 2>&1); then
    echo "$answer" >&2
    echo "setup: Wine's 32-bit side does not run under emulation either" >&2
    exit 1
  fi
  [ -z "$changed" ] || echo "setup: Wine's 32-bit side runs under qemu-user emulation"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

mapfile -t missing < <(missing_packages "${packages[@]}")
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_install "${missing[@]}"
fi

if [ "${SONDREL_EMULATE_I386:-0}" = 1 ] || ! runs_32bit_natively; then
  set_up_emulation
fi

# The tests run the program in an Italian locale, and in a Japanese one, whose double-byte code
# page (932) Wine takes from it; both need the C library's locale data.
for wanted in it_IT ja_JP; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    as_root sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
done
# The compilers Sondrel.exe is built with, made once per machine. On a machine that has
# everything, the set-up says nothing.
scripts/toolchain.sh
