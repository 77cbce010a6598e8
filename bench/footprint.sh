#!/usr/bin/env bash
# Size of Sondrel.exe and the DLLs it imports.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh win32 >/dev/null
exe=build/win32/Sondrel.exe
bytes=$(stat -c %s "$exe")
echo "Sondrel.exe: $bytes bytes ($((bytes / 1024)) KiB; target 262144 bytes, 256 KiB)"
echo "imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z\n' 'a-z ')"
