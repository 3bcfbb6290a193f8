#!/usr/bin/env bash
# Makes the project's Wine prefix once; later runs reuse it.
#
# Two prefixes are kept: "$WINEPREFIX-pristine", booted once and never run
# in, and "$WINEPREFIX" itself, a copy of it that tests may change. The
# end-to-end tests start every scenario from a fresh copy of the pristine
# one (copying takes a second, booting a new prefix about twelve).
set -eu
source "$(dirname "$0")/wine-env.sh"
PRISTINE="${TARNWICK_PRISTINE_PREFIX:-$WINEPREFIX-pristine}"

mkdir -p "$(dirname "$WINEPREFIX")"
# One maker at a time: the fixture and a scenario may both ask for it.
exec 9>"$WINEPREFIX.lock"
timeout 300 flock 9

if [ ! -f "$PRISTINE/.tarnwick-ready" ]; then
  rm -rf "$PRISTINE"
  mkdir -p "$PRISTINE"
  echo "Booting a new Wine prefix: $PRISTINE"
  WINEPREFIX="$PRISTINE" timeout 240 wineboot -i
  # The registry is written out when the prefix's wineserver ends.
  WINEPREFIX="$PRISTINE" timeout 60 wineserver -w || true
  touch "$PRISTINE/.tarnwick-ready"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX" "$WINEPREFIX.tmp"
  cp -a "$PRISTINE" "$WINEPREFIX.tmp"
  rm -f "$WINEPREFIX.tmp/.tarnwick-ready"
  mv "$WINEPREFIX.tmp" "$WINEPREFIX"
  # The Win32 tests run on a bare X server without a window manager, where a
  # managed window takes about two seconds to hide; unmanaged windows hide at
  # once. The end-to-end desktops are not affected.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  timeout 60 wineserver -w || true
fi
echo "Wine prefix ready: $WINEPREFIX"
