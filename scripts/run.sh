#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sondrel.exe under Wine on the user's display.
# Without a display it runs under a private Xvfb, saves a screenshot and prints the report.
set -euo pipefail
cd "$(dirname "$0")/.."
# The set-up tells what it installs and builds; on a machine that has everything it says
# nothing. Of the build only the result is told, and on failure its whole output.
scripts/setup.sh
started=$SECONDS
if ! log=$(scripts/build.sh win32 2>&1); then
  echo "$log" >&2
  echo "build: failed" >&2
  exit 1
fi
echo "build: build/win32/Sondrel.exe ready ($((SECONDS - started)) s)"
exe=build/win32/Sondrel.exe
if [ -n "${DISPLAY:-}" ]; then
  exec env WINEDEBUG=-all wine "$exe"
fi

state=build/win32/run-wine
trap 'tests/wine/wine-env.sh stop "$state"' EXIT
tests/wine/wine-env.sh start "$state"
export SONDREL_WINE_STATE=$PWD/$state
tests/wine/wine-run.sh "$exe" &
app=$!
driver="tests/wine/wine-run.sh build/win32/tools/uidriver/uidriver.exe"
$driver --timeout 60 list >/dev/null
# The window has painted once its report box handles what was posted after the show.
$driver sync 113
shot=build/win32/screenshot.png
import -display "$(cat "$state/display")" -window root -trim +repage "$shot"
echo "screenshot: $shot"
$driver report | tr -d '\r'
echo
$driver close
wait "$app" || true
