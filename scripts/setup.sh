#!/usr/bin/env bash
# Installs what building and testing Sondrel needs on a Debian machine. Safe to run again:
# it installs only what is missing.
set -euo pipefail

packages=(
  cmake make g++ googletest clang-format python3 locales
  # Static analysis of the portable code.
  clang-tidy cppcheck
  # The fuzz target: clang and its libFuzzer runtime.
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine32 xvfb xauth x11-utils imagemagick
  # Wine's recommended X libraries for 32-bit programs; without them windows fail with
  # "no driver could be loaded".
  libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386 libfreetype6:i386
  libfontconfig1:i386
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if_needed apt-get update -q
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi
# The tests run the program in an Italian locale too, which needs the C library's locale data.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  sudo_if_needed sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
  sudo_if_needed locale-gen >/dev/null
fi
echo "setup: everything needed is installed"
