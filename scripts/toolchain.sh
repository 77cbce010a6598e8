#!/usr/bin/env bash
# Builds, once per machine, the cross toolchain that Sondrel.exe is made with: libgcc, libstdc++
# and the MinGW-w64 runtime from Debian's own sources, for the i486, with GCC 12's driver.
# Debian's i686-w64-mingw32 compilers default to the Pentium Pro and their prebuilt libgcc,
# libstdc++ and runtime hold CMOV and FCOMI, which the i486, Pentium, K6 and 6x86 of Windows 95
# to NT 4.0 machines lack. The compilers proper (cc1, cc1plus) are Debian's own, of the same GCC
# release: told -march=i486 by the driver, they make the same code as compilers built here.
#
# The toolchain goes to $SONDREL_TOOLCHAIN (default ~/.cache/sondrel-i486), outside the
# checkout. A finished toolchain carries a stamp naming what it was built from; when the stamp
# matches and every part is there, nothing is done.
#
# Needs (scripts/setup.sh installs them): gcc-12-source, Debian's mingw-w64 headers and
# binutils, its i686 C and C++ compilers, GMP, MPFR and MPC headers.
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
# The toolchain is configured for a folder it never lies in, so that its driver always counts
# itself moved and hands the compilers its own folders (-iprefix): Debian's compilers would
# otherwise search Debian's headers.
configured_prefix=/nonexistent/sondrel-i486


package_version() { dpkg-query -W -f='${Version}' "$1"; }

# The driver and GCC's generator programs are a tool, not part of what ships: they are built
# for speed of building. The target libraries, which are linked into Sondrel.exe, keep GCC's
# flags for them.
compiler_flags="-O1 -g0"
target_flags="-g -O2"

# What a toolchain was built from; raise the edition when the way it is built changes.
edition=3
recipe() {
  echo "edition $edition, arch $arch"
  echo "driver built with $compiler_flags, target libraries with $target_flags"
  echo "gcc-12-source $(package_version gcc-12-source)"
  echo "cc1 $(package_version gcc-mingw-w64-i686-win32), cc1plus $(package_version g++-mingw-w64-i686-win32)"
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

# GCC's driver with libgcc, libsupc++ and libstdc++, for the i486. The DFSG tarball lacks the
# hook documentation that the build regenerates; its stamp is made by hand.
tar -xf /usr/src/gcc-12/gcc-*-dfsg.tar.* -C "$work"
gcc_source=$(echo "$work"/gcc-[0-9]*)
release=${gcc_source##*/gcc-}
for compiler in gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32; do
  if [ "$(package_version $compiler | cut -d- -f1)" != "$release" ]; then
    echo "toolchain: $compiler is not of GCC $release, as the installed source is" >&2
    exit 1
  fi
done
mkdir -p "$work/gcc-build/gcc"
touch "$work/gcc-build/gcc/s-tm-texi"
# Debian's compilers search no system root: the driver names the runtime's headers after GCC's
# own, where compilers built here would search them.
(cd "$work/gcc-build" &&
  "$gcc_source/configure" -q --target=$target --prefix="$configured_prefix" \
    --with-sysroot="$configured_prefix/sysroot" --with-build-sysroot="$sysroot" \
    --with-specs="-idirafter %R/mingw/include" --enable-version-specific-runtime-libs \
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
# What GCC's folder needs first (its configuration, libiberty, libcpp...), then that folder with
# Debian's compilers copied in and taken as made: the driver, the generated headers that libgcc
# is built with and the fixed headers. GCC's self-tests test the compilers, not the programs.
build_driver() {
  local cc1 cc1plus needs
  cc1=$($target-gcc-win32 -print-prog-name=cc1)
  cc1plus=$($target-g++-win32 -print-prog-name=cc1plus)
  mapfile -t needs < <(sed -n 's/^all-gcc: //p' "$work/gcc-build/Makefile")
  make -C "$work/gcc-build" -s -j "$jobs" "${needs[@]}" &&
    cp "$cc1" "$cc1plus" "$work/gcc-build/gcc/" &&
    make -C "$work/gcc-build/gcc" -s -j "$jobs" -o cc1 -o cc1plus all SELFTEST_TARGETS=
}
long_step "building GCC's driver around Debian's compilers" "1 to 2" "$work/gcc-build" '*.o' \
  360 objects "$work/gcc.log" build_driver
stage_done "the driver"
# std::random_device would use RDRAND and RDSEED where libstdc++ thinks the processor has them.
export ac_cv_x86_rdrand=no ac_cv_x86_rdseed=no
long_step "building libgcc, libsupc++ and libstdc++ for the i486" "1 to 4" \
  "$work/gcc-build/$target" '*.o' 440 objects "$work/libs.log" \
  make -C "$work/gcc-build" -s -j "$jobs" -o all-gcc -o maybe-all-gcc all-target-libgcc \
  all-target-libstdc++-v3
# The hooks' documentation stamp is older than the generator the build just made; made newer
# again, it keeps the install from regenerating the documentation. The install goes to a
# staging folder under the configured prefix, then into the toolchain's own.
touch "$work/gcc-build/gcc/s-tm-texi"
install_gcc() {
  make -C "$work/gcc-build/gcc" -s -o cc1 -o cc1plus install DESTDIR="$work/stage" &&
    make -C "$work/gcc-build" -s -o all-gcc -o maybe-all-gcc install-target-libgcc \
      install-target-libstdc++-v3 DESTDIR="$work/stage" &&
    cp -a "$work/stage$configured_prefix/." "$prefix/"
}
install_gcc >>"$work/libs.log" 2>&1 || { tail -n 40 "$work/libs.log"; exit 1; }
stage_done "libgcc and libstdc++"

# Every folder the compilers search for headers must be the toolchain's own: a driver that did
# not count itself moved would let Debian's compilers search Debian's headers.
search_folders() {
  "$prefix/bin/$target-g++" -E -v -x c++ /dev/null 2>&1 >/dev/null |
    sed -n '/search starts here:/,/End of search list/p' | grep '^ '
}
foreign=$(search_folders | grep -v "^ $(realpath "$prefix")/" || true)
if [ -z "$(search_folders)" ] || [ -n "$foreign" ]; then
  echo "toolchain: the compilers search headers outside $prefix:${foreign:- none found}" >&2
  exit 1
fi

recipe >"$stamp"
echo "toolchain: built in $(minutes_and_seconds $((SECONDS - started))) into $prefix"
