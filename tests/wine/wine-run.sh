#!/usr/bin/env bash
# Runs a Windows program in the tests' own Wine prefix, on the display the test run started.
set -euo pipefail
state=${SONDREL_WINE_STATE:?set SONDREL_WINE_STATE to the Wine folder of the run}
export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
# A test may run a program on a display of its own.
DISPLAY=${SONDREL_DISPLAY:-$(cat "$state/display")}
export DISPLAY
exec wine "$@"
