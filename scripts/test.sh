#!/usr/bin/env bash
# Runs every test of both build trees (build/native, build/win) as one ctest
# run with one summary. Starts an Xvfb when there is no display and, at the
# end, stops it and every Wine server of the prefixes the tests used.
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build"
source "$ROOT/scripts/xvfb.sh"

stop_wine() {
  local p
  for p in "$BUILD/wineprefix" "$BUILD/wineprefix-pristine" "$BUILD"/win/e2e-run/*/prefix; do
    [ -d "$p" ] || continue
    WINEPREFIX="$p" timeout 20 wineserver -k 2>/dev/null || true
  done
}
cleanup() {
  stop_wine
  stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi

# ctest reads the tests of both trees through this file.
printf 'subdirs("native")\nsubdirs("win")\n' > "$BUILD/CTestTestfile.cmake"
ctest --test-dir "$BUILD" --output-on-failure -j2 --timeout 900
