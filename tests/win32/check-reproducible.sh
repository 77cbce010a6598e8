#!/usr/bin/env bash
# Builds Sondrel.exe a second time, from the same sources in a build folder elsewhere, and fails
# unless the two files are the same byte for byte: the exe people download is then the one the
# tests ran, whoever builds it and wherever.
# Usage: check-reproducible.sh SOURCE_DIR SONDREL_EXE
set -euo pipefail
source_dir=$1
exe=$2
again=$(mktemp -d "${TMPDIR:-/tmp}/sondrel-again.XXXXXX")
trap 'rm -rf "$again"' EXIT
cmake -S "$source_dir" -B "$again" -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$again" --target Sondrel -j "$(nproc)" >/dev/null
if ! cmp "$exe" "$again/Sondrel.exe"; then
  echo "check-reproducible: $exe and a second build in $again differ" >&2
  exit 1
fi
echo "check-reproducible: a second build is the same $(stat -c %s "$exe") bytes"
