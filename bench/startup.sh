#!/usr/bin/env bash
# Start-up benchmark: Sondrel.exe against a program that opens one empty window, alternately,
# in a Wine prefix and display of its own, taking turns at going first. Prints every run, the
# medians and their ratio, and the median of the pairs' ratios, after the line that says whether
# Wine's 32-bit side ran natively or under emulation. With --preloading it times a copy whose
# look-up of SetDefaultDllDirectories fails, which preloads the system DLLs as on XP. With
# --phases it times Sondrel alone, from process creation to each phase of its start.
#   bench/startup.sh [RUNS] [--preloading | --phases]   (default 31 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-31}
scripts/setup.sh
scripts/build.sh win32 >/dev/null
program='build\win32\Sondrel.exe'
if [ "${2:-}" = --preloading ]; then
  mkdir -p build/win32/preloading
  python3 tools/without_search_limit.py build/win32/Sondrel.exe build/win32/preloading/Sondrel.exe
  program='build\win32\preloading\Sondrel.exe'
fi
export SONDREL_WINE_STATE=$PWD/build/bench-wine
tests/wine/wine-env.sh start "$SONDREL_WINE_STATE"
trap 'tests/wine/wine-env.sh stop "$SONDREL_WINE_STATE"' EXIT
echo "Wine's 32-bit side: $(tests/wine/bed.sh)"
# Relative Windows paths: Wine starts in the current folder.
if [ "${2:-}" = --phases ]; then
  tests/wine/wine-run.sh build/win32/bench/startup_timer.exe --phases "$runs" "$program"
else
  tests/wine/wine-run.sh build/win32/bench/startup_timer.exe "$runs" "$program" \
    'build\win32\bench\floor_window.exe'
fi
