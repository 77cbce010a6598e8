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
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j "$jobs"
