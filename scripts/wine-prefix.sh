#!/usr/bin/env bash
# Makes the project's Wine prefix once; later runs reuse it.
set -eu
source "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  timeout 240 wineboot -i
  timeout 60 wineserver -w || true
fi
echo "Wine prefix ready: $WINEPREFIX"
