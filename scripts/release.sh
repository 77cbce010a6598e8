#!/usr/bin/env bash
# Builds Sondrel.exe and packs it as people download it: dist/Sondrel-VERSION.zip holds the exe
# and LEGGIMI.txt, dist/SHA256SUMS the checksums of both the exe and the archive. The exe is the
# one the tests ran (build/win32/Sondrel.exe), and the archive is the same file for the same
# sources: its entries carry fixed dates.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh win32 >/dev/null
version=$(sed -n 's/^ *VALUE "FileVersion", "\(.*\)"/\1/p' resources/sondrel.rc)
[ -n "$version" ] || { echo "release: no FileVersion in resources/sondrel.rc" >&2; exit 1; }
mkdir -p dist
archive=dist/Sondrel-$version.zip
python3 - "$archive" build/win32/Sondrel.exe resources/LEGGIMI.txt <<'PY'
import sys, zipfile
archive, exe, readme = sys.argv[1:]
def entry(name):
    info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS, as Windows' own archive folders expect
    return info
with zipfile.ZipFile(archive, "w") as z:
    z.writestr(entry("Sondrel.exe"), open(exe, "rb").read())
    # Notepad of Windows 95 to XP shows only CR LF line ends.
    text = open(readme, encoding="ascii").read().replace("\n", "\r\n")
    z.writestr(entry("LEGGIMI.txt"), text.encode("ascii"))
PY
cp build/win32/Sondrel.exe dist/Sondrel.exe
(cd dist && sha256sum "Sondrel.exe" "Sondrel-$version.zip" >SHA256SUMS)
cat dist/SHA256SUMS
