#!/usr/bin/env bash
# Starts build/win/tarnwick.exe in a Wine virtual desktop of its own prefix
# (build/wineprefix-run), on $DISPLAY or, without one, on a new Xvfb; saves
# a screenshot a few seconds after the start and keeps running until the
# program ends or Ctrl+C.
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build"
EXE="$BUILD/win/tarnwick.exe"
SHOT="$BUILD/run-screenshot.png"
source "$ROOT/scripts/xvfb.sh"

export WINEPREFIX="$BUILD/wineprefix-run"
export TARNWICK_PRISTINE_PREFIX="$BUILD/wineprefix-pristine"
source "$ROOT/scripts/wine-env.sh"

WINE_PID=""
cleanup() {
  [ -n "$WINE_PID" ] && kill "$WINE_PID" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
trap 'echo; echo "Stopping Tarnwick."; exit 0' INT TERM

[ -f "$EXE" ] || { echo "No $EXE: build it first (make run builds it)." >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi
bash "$ROOT/scripts/wine-prefix.sh" || exit 1

echo "Starting $EXE on display $DISPLAY (Wine prefix $WINEPREFIX)"
setsid wine explorer /desktop=Tarnwick,1024x768 "$EXE" &
WINE_PID=$!
sleep 5
if import -window root "$SHOT" 2>/dev/null; then
  echo "Screenshot saved: $SHOT"
else
  echo "Could not take a screenshot on $DISPLAY" >&2
fi
echo "Tarnwick is running (its icon is in the desktop's notification area)."
echo "Stop it with Ctrl+C, with its menu's Exit, or from another shell with:"
echo "  WINEPREFIX=$WINEPREFIX wineserver -k"
# The desktop process ends about a second after the program does.
wait "$WINE_PID"
WINE_PID=""
echo "Tarnwick has ended."
