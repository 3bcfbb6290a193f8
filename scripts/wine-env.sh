# Sourced by the scripts that run Wine: one prefix per build tree, never ~/.wine.
: "${TARNWICK_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${WINEPREFIX:-$TARNWICK_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine keeps the Recycle Bin in the XDG trash of the Linux user: a Recycle
# Bin emptied by the program or a test must be the prefix's own.
export XDG_DATA_HOME="${TARNWICK_XDG_DATA_HOME:-$WINEPREFIX-xdg-data}"
mkdir -p "$XDG_DATA_HOME"
