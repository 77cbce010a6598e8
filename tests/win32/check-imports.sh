#!/usr/bin/env bash
# Fails when the program imports a DLL that does not come with Windows.
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|shell32|version|ole32|oleaut32|msvcrt|comctl32|comdlg32)\.dll$'
dlls=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "$dlls"
bad=$(echo "$dlls" | grep -v -E "$allowed" || true)
if [ -n "$bad" ]; then
  echo "not a system DLL: $bad" >&2
  exit 1
fi
