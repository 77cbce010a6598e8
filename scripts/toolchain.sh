#!/usr/bin/env bash
# Builds, once per machine, the cross compilers that Sondrel.exe is made with: GCC 12 and the
# MinGW-w64 runtime from Debian's own sources, for the i486. Debian's i686-w64-mingw32 compilers
# default to the Pentium Pro and their prebuilt libgcc, libstdc++ and runtime hold CMOV and
# FCOMI, which the i486, Pentium, K6 and 6x86 of Windows 95 to NT 4.0 machines lack.
#
# The toolchain goes to $SONDREL_TOOLCHAIN (default ~/.cache/sondrel-i486), outside the
# checkout. A finished toolchain carries a stamp naming what it was built from; when the stamp
# matches and every part is there, nothing is done.
#
# Needs (scripts/setup.sh installs them): gcc-12-source, Debian's mingw-w64 headers and
# binutils, its i686 compilers (to build the runtime), GMP, MPFR and MPC headers.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/toolchain-dir.sh
source scripts/debian-source.sh
arch=i486
target=i686-w64-mingw32
prefix=$SONDREL_TOOLCHAIN
sysroot=$prefix/sysroot
stamp=$prefix/built-from
jobs=$(nproc)


package_version() { dpkg-query -W -f='${Version}' "$1"; }

# The compilers are a tool, not part of what ships: GCC's own code is built for speed of
# building. The target libraries, which are linked into Sondrel.exe, keep GCC's flags for them.
compiler_flags="-O1 -g0"
target_flags="-g -O2"

# What a toolchain was built from; raise the edition when the way it is built changes.
edition=2
recipe() {
  echo "edition $edition, arch $arch"
  echo "compilers built with $compiler_flags, target libraries with $target_flags"
  echo "gcc-12-source $(package_version gcc-12-source)"
  echo "mingw-w64 $(package_version mingw-w64-i686-dev)"
  echo "binutils $(package_version binutils-mingw-w64-i686)"
}

# Says what is missing, if anything.
complete() {
  local f
  if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$(recipe)" ]; then
    echo "toolchain: none in $prefix built from the installed sources"
    return 1
  fi
  for f in bin/$target-gcc bin/$target-g++ sysroot/mingw/lib/crt2.o \
    sysroot/mingw/lib/libmingwex.a sysroot/mingw/lib/libmsvcrt.a \
    sysroot/mingw/lib/libkernel32.a sysroot/mingw/include/windows.h; do
    [ -e "$prefix/$f" ] || { echo "toolchain: $prefix/$f is missing"; return 1; }
  done
  # libgcc goes below lib/gcc, libstdc++ and libsupc++ below the target's own lib.
  for f in libgcc.a libstdc++.a libsupc++.a; do
    [ -n "$(find "$prefix" -name "$f" -print -quit)" ] || { echo "toolchain: no $f"; return 1; }
  done
}

# On a machine that has them, nothing is said.
if missing=$(complete); then
  exit 0
fi
echo "$missing"

work=$(mktemp -d "${TMPDIR:-/tmp}/sondrel-toolchain.XXXXXX")
# Kept when a stage fails, for its logs.
trap 'if [ $? -eq 0 ]; then rm -rf "$work"; else echo "toolchain: failed; its build is in $work" >&2; fi' EXIT
rm -rf "$prefix"
mkdir -p "$sysroot/mingw"
started=$SECONDS
stage_started=$SECONDS
minutes_and_seconds() { echo "$(($1 / 60)) min $(($1 % 60)) s"; }
stage_done() {
  echo "toolchain: $1 took $(minutes_and_seconds $((SECONDS - stage_started)))"
  stage_started=$SECONDS
}

# Runs one long step with its output in a log, first saying what it does and about how long it
# takes on 2 cores (from the fastest to the slowest machine it was measured on), then every
# half minute how long it has run and how many of about how many files it has made under a
# folder, so that a quiet terminal is not taken for a hang.
#   long_step WHAT MINUTES FOLDER PATTERN COUNT UNIT LOG COMMAND...
long_step() {
  local what=$1 minutes=$2 folder=$3 pattern=$4 count=$5 unit=$6 log=$7 pid step_started=$SECONDS
  shift 7
  echo "toolchain: $what, about $minutes min on 2 cores"
  "$@" >"$log" 2>&1 &
  pid=$!
  local report=$((SECONDS + 30))
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if [ "$SECONDS" -ge "$report" ]; then
      echo "toolchain:   $(minutes_and_seconds $((SECONDS - step_started))) so far," \
        "$(find "$folder" -name "$pattern" 2>/dev/null | wc -l) of about $count $unit"
      report=$((SECONDS + 30))
    fi
  done
  wait "$pid" || { tail -n 40 "$log"; exit 1; }
}

# The runtime's sources, of the same version as the installed headers, from a source entry on
# the machine's own Debian mirror and keyring.
fetch_runtime_sources() {
  local version
  add_debian_source sondrel-sources.sources deb-src bookworm
  if ! apt-cache showsrc mingw-w64 2>/dev/null | grep -q '^Package: mingw-w64'; then
    as_root apt-get update -q || echo "toolchain: some package lists could not be fetched; going on" >&2
  fi
  version=$(package_version mingw-w64-i686-dev)
  (cd "$work" && apt-get source -q --download-only "mingw-w64=$version") >"$work/fetch.log" 2>&1 ||
    { tail -n 40 "$work/fetch.log"; exit 1; }
  tar -xf "$(ls "$work"/mingw-w64_*.orig.tar.* | grep -v "\.asc$")" -C "$work"
}

fetch_runtime_sources
stage_done "fetching the runtime's sources"

# The compilers' temporary files, of which the runtime's build leaves thousands behind, go with
# the build instead of staying in the system's temporary folder (after the fetch, whose package
# tools run as a user of their own).
mkdir "$work/tmp"
export TMPDIR="$work/tmp"

# The runtime: start-up code, libmingwex, the import libraries, compiled for the i486 by
# Debian's compilers.
build_runtime() {
  cd "$work/crt" &&
    "$work"/mingw-w64-v*/mingw-w64-crt/configure -q --host=$target --prefix="$sysroot/mingw" \
      --disable-lib64 --enable-lib32 CC=$target-gcc-win32 \
      CFLAGS="-O2 -march=$arch -mtune=generic" CCASFLAGS="-march=$arch" &&
    make -j "$jobs" && make install
}
mkdir "$work/crt"
# Its objects come and go as the import libraries are made; the libraries only come.
long_step "building the runtime (start-up code, libmingwex, import libraries)" "2 to 5" \
  "$work/crt" '*.a' 610 libraries "$work/crt.log" build_runtime
# The runtime's install made the folder already; the headers go into it.
mkdir -p "$sysroot/mingw/include"
cp -rL "/usr/$target/include/." "$sysroot/mingw/include/"
stage_done "the runtime"

# GCC with libgcc, libsupc++ and libstdc++, for the i486. The DFSG tarball lacks the hook
# documentation that the build regenerates; its stamp is made by hand.
tar -xf /usr/src/gcc-12/gcc-*-dfsg.tar.* -C "$work"
mkdir -p "$work/gcc-build/gcc"
touch "$work/gcc-build/gcc/s-tm-texi"
(cd "$work/gcc-build" &&
  "$work"/gcc-[0-9]*/configure -q --target=$target --prefix="$prefix" --with-sysroot="$sysroot" \
    --with-arch=$arch --with-tune=generic --enable-languages=c,c++ --disable-multilib \
    --disable-bootstrap --disable-nls --disable-lto --disable-libgomp --disable-libquadmath \
    --disable-libssp --disable-libatomic --disable-shared --enable-static --enable-threads=win32 \
    --disable-sjlj-exceptions --with-dwarf2 --enable-fully-dynamic-string \
    --enable-libstdcxx-time=yes --with-as=/usr/bin/$target-as --with-ld=/usr/bin/$target-ld \
    --disable-gcov --disable-libstdcxx-pch \
    CFLAGS="$compiler_flags" CXXFLAGS="$compiler_flags" CFLAGS_FOR_BUILD="$compiler_flags" \
    CXXFLAGS_FOR_BUILD="$compiler_flags" CFLAGS_FOR_TARGET="$target_flags" \
    CXXFLAGS_FOR_TARGET="$target_flags" \
    >"$work/configure.log" 2>&1) || { tail -n 40 "$work/configure.log"; exit 1; }
stage_done "unpacking and configuring GCC"
# GCC's self-tests test the compilers, not the programs they make.
long_step "building the C and C++ compilers" "6 to 16" "$work/gcc-build" '*.o' 940 objects \
  "$work/gcc.log" make -C "$work/gcc-build" -s -j "$jobs" all-gcc SELFTEST_TARGETS=
stage_done "the compilers"
# std::random_device would use RDRAND and RDSEED where libstdc++ thinks the processor has them.
export ac_cv_x86_rdrand=no ac_cv_x86_rdseed=no
long_step "building libgcc, libsupc++ and libstdc++ for the i486" "1 to 4" \
  "$work/gcc-build/$target" '*.o' 550 objects "$work/libs.log" \
  make -C "$work/gcc-build" -s -j "$jobs" all-target-libgcc all-target-libstdc++-v3
# The hooks' documentation stamp is older than the generator the build just made; made newer
# again, it keeps the install from regenerating the documentation.
touch "$work/gcc-build/gcc/s-tm-texi"
make -C "$work/gcc-build" -s install-gcc install-target-libgcc install-target-libstdc++-v3 \
  >>"$work/libs.log" 2>&1 || { tail -n 40 "$work/libs.log"; exit 1; }
stage_done "libgcc and libstdc++"

recipe >"$stamp"
echo "toolchain: built in $(minutes_and_seconds $((SECONDS - started))) into $prefix"
