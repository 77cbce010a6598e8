#!/usr/bin/env bash
# Builds Sondrel.exe a second time, from the same sources, and fails unless the two files are the
# same byte for byte: the exe people download is then the one the tests ran, whoever builds it,
# wherever and whenever. The second build differs from the first in all a build could pick up
# from where it runs: the build folder, the date and time, the time zone, the locale, the umask,
# the toolchain's folder and, where this runs as root and the sources are readable to others,
# the user.
# Usage: check-reproducible.sh SOURCE_DIR SONDREL_EXE
set -euo pipefail
source_dir=$1
exe=$2
source "$source_dir/scripts/toolchain-dir.sh"
again=$(mktemp -d "${TMPDIR:-/tmp}/sondrel-again.XXXXXX")
trap 'rm -rf "$again"' EXIT
chmod 755 "$again"
cp -a "$SONDREL_TOOLCHAIN" "$again/toolchain"
mkdir "$again/build"
as_user=()
other_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
if [ "$(id -u)" = 0 ] && $other_user test -r "$source_dir/CMakeLists.txt"; then
  chown nobody "$again/build"
  read -ra as_user <<<"$other_user"
else
  echo "check-reproducible: the second build runs as the same user"
fi
build() {
  umask 077
  cmake -S "$source_dir" -B "$again/build" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$again/build" --target Sondrel -j "$(nproc)" >/dev/null
}
export -f build
export source_dir again
"${as_user[@]}" env HOME="$again/build" SONDREL_TOOLCHAIN="$again/toolchain" TZ=Pacific/Kiritimati \
  LC_ALL=it_IT.UTF-8 LANG=it_IT.UTF-8 faketime -f '@2031-05-17 03:04:05' bash -c build
if ! cmp "$exe" "$again/build/Sondrel.exe"; then
  echo "check-reproducible: $exe and a second build in $again differ" >&2
  exit 1
fi
echo "check-reproducible: a second build, elsewhere, in 2031, in another locale, is the same" \
  "$(stat -c %s "$exe") bytes"
