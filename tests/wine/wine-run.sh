#!/usr/bin/env bash
# Runs a Windows program in the tests' own Wine prefix, on the display the test run started.
set -euo pipefail
state=${SONDREL_WINE_STATE:?set SONDREL_WINE_STATE to the Wine folder of the run}
export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
DISPLAY=$(cat "$state/display")
export DISPLAY
exec wine "$@"
