#!/usr/bin/env bash
# Runs the benchmarks (tarnwick_bench.exe, built by `make bench`) under Wine
# in a prefix of their own, on $DISPLAY or a new Xvfb, and stops both after;
# then the shipped exe's size, the idle program's CPU next to a bare tray
# program's (bench/idle_cpu.py, IDLE_SECONDS a run, 60 unless set) and the
# launch to a working tray menu with a long block list (bench/launch_menu.py),
# with tarnwick.exe and the test helpers built beside EXE.
#   bench/run.sh EXE [ROUNDS]
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
EXE="$1"
ROUNDS="${2:-5}"
source "$ROOT/scripts/xvfb.sh"

export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix-bench}"
export TARNWICK_PRISTINE_PREFIX="${TARNWICK_PRISTINE_PREFIX:-$ROOT/build/wineprefix-pristine}"
source "$ROOT/scripts/wine-env.sh"

cleanup() {
  timeout 20 wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi
bash "$ROOT/scripts/wine-prefix.sh" >/dev/null || exit 1
echo "Benchmarks: $EXE, $ROUNDS rounds, Wine prefix $WINEPREFIX"
timeout 1800 wine "$EXE" "$ROUNDS"
status=$?
BUILD="$(cd "$(dirname "$EXE")" && pwd)"
echo "Shipped tarnwick.exe: $(stat -c %s "$BUILD/tarnwick.exe") bytes; its debug information beside it," \
  "tarnwick.exe.debug: $(stat -c %s "$BUILD/tarnwick.exe.debug" 2>/dev/null || echo "(missing)") bytes"
TARNWICK_EXE="$BUILD/tarnwick.exe" TARNWICK_BUILD="$BUILD" TARNWICK_HELPERS="$BUILD/helpers" \
  timeout 900 python3 "$ROOT/bench/idle_cpu.py" "${IDLE_SECONDS:-60}" || status=1
TARNWICK_EXE="$BUILD/tarnwick.exe" TARNWICK_BUILD="$BUILD" TARNWICK_HELPERS="$BUILD/helpers" \
  timeout 1800 python3 "$ROOT/bench/launch_menu.py" "$ROUNDS" || status=1
exit $status
