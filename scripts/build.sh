#!/usr/bin/env bash
# Configures and builds both configurations side by side: build/host (native, simulated
# platform, sanitizers on) and build/win32 (Sondrel.exe and the Windows test programs).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
if [ "${1:-all}" != win32 ]; then
  cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -DSONDREL_SANITIZE=ON >/dev/null
  cmake --build build/host -j "$jobs"
fi
# A configuration made without the compilers keeps a cache that builds wrongly; they are made
# by scripts/setup.sh.
source scripts/toolchain-dir.sh
if [ ! -x "$SONDREL_TOOLCHAIN/bin/i686-w64-mingw32-g++" ]; then
  echo "build: no i486 compilers in $SONDREL_TOOLCHAIN; scripts/setup.sh makes them" >&2
  exit 1
fi
# A build folder configured with another toolchain keeps the old compilers in its cache; it is
# configured afresh when the toolchain file has changed since.
stamp=build/win32/toolchain.cmake
if [ -f build/win32/CMakeCache.txt ] && ! cmp -s cmake/mingw-i686.cmake "$stamp"; then
  rm -rf build/win32/CMakeCache.txt build/win32/CMakeFiles
fi
mkdir -p build/win32
cp cmake/mingw-i686.cmake "$stamp"
# The toolchain file is read when the folder is first configured; named again, CMake warns
# that it went unused.
toolchain=()
[ -f build/win32/CMakeCache.txt ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake)
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=MinSizeRel "${toolchain[@]}" >/dev/null
cmake --build build/win32 -j "$jobs"
