#!/usr/bin/env bash
# Starts and stops the Wine environment of a test run: a private Xvfb display and a 32-bit
# prefix inside the build tree, with a persistent wineserver so test programs find it running.
#   wine-env.sh start STATE_DIR [DEPTH]   |   wine-env.sh stop STATE_DIR
set -euo pipefail
action=$1
state=$(realpath -m "$2")
export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=-all

start() {
  local depth=${1:-24} n
  mkdir -p "$state/prefix"
  for n in $(seq 91 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  setsid Xvfb ":$n" -screen 0 "1280x1024x$depth" -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  echo ":$n" >"$state/display"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
  # The server must be up before the prefix boots, or its desktop runs without a driver.
  setsid wineserver -p >"$state/wineserver.log" 2>&1 </dev/null
  wineboot -i >"$state/wineboot.log" 2>&1 </dev/null
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
}

stop() {
  wineserver -k 2>/dev/null || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
}

case "$action" in
  start) shift 2; start "$@" ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR [DEPTH]" >&2; exit 1 ;;
esac
