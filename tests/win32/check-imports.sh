#!/usr/bin/env bash
# Fails unless the program loads on Windows 95 and NT 4.0, and loads nothing from its own folder
# at start: every function it imports must be in the table of functions both export
# (win95_nt4_exports.txt, beside this script), every DLL it imports a known DLL, and its PE
# header must ask for operating system and subsystem version 4.0. Names each import outside the
# table. Wine exports every function whatever version it reports, so only this check sees it.
# The header must also mark the program terminal-server aware (or GetWindowsDirectoryA names
# the user's private Windows folder on a terminal server), movable and not run from data pages;
# loaders older than those flags ignore them.
#   check-imports.sh PROGRAM.exe
set -euo pipefail
export LC_ALL=C  # one collating order for sort and comm
table="$(dirname "$0")/win95_nt4_exports.txt"
header=$(i686-w64-mingw32-objdump -p "$1")

# "dll function" a line, the DLL's name in lower case; an import by ordinal alone as "#N".
imports=$(awk '
  /^\tDLL Name: / { dll = tolower($3); next }
  /^ [0-9a-f]+\t/ { dll = "" }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, (NF >= 3 ? $3 : "#" $2) }' <<<"$header" | sort -u)
if [ -z "$imports" ]; then
  echo "no imports read from $1" >&2
  exit 1
fi
allowed=$(grep -v -e '^#' -e '^$' "$table" | sort -u)
outside=$(comm -23 <(echo "$imports") <(echo "$allowed"))

failed=0
# Windows keeps these as known DLLs and loads them from the system folder only; any other DLL
# the program imported would be looked for in the program's folder first, where anyone may
# have left one (on Windows 95 to Me msvcrt.dll is not a known DLL: that cannot be helped).
known_dlls="gdi32.dll kernel32.dll msvcrt.dll user32.dll"
for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  if ! grep -qw "$dll" <<<"$known_dlls"; then
    echo "imports $dll, which Windows does not keep as a known DLL" >&2
    failed=1
  fi
done
if [ -n "$outside" ]; then
  echo "imports that Windows 95 or NT 4.0 lacks:" >&2
  sed 's/^/  /' <<<"$outside" >&2
  failed=1
fi
# objdump's names for the fields, and what they are.
for field in "OSystem:operating system" "Subsystem:subsystem"; do
  version="$(awk -v f="Major${field%%:*}Version" '$1 == f { print $2 }' <<<"$header").$(
    awk -v f="Minor${field%%:*}Version" '$1 == f { print $2 }' <<<"$header")"
  if [ "$version" != 4.0 ]; then
    echo "PE header: ${field#*:} version $version, not 4.0" >&2
    failed=1
  fi
done
characteristics=$((16#$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$header")))
for flag in 0x8000:TERMINAL_SERVER_AWARE 0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT; do
  if ((!(characteristics & ${flag%%:*}))); then
    echo "PE header: not marked ${flag#*:}" >&2
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "$(wc -l <<<"$imports") imports, all in the table and from known DLLs; OS and subsystem version 4.0; terminal-server aware, dynamic base, NX compatible"
exit "$failed"
