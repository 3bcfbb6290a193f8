#!/usr/bin/env bash
# Runs the soak scenario (tests/e2e/soak.py) against build/win's tarnwick.exe
# for MINUTES (default 10). It answers the update check on 127.0.0.1:8631,
# so it cannot run beside the update scenarios. Usage: scripts/soak.sh [MINUTES]
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WIN="$ROOT/build/win"
export SOAK_MINUTES="${1:-10}"
export TARNWICK_EXE="$WIN/tarnwick.exe" TARNWICK_BUILD="$WIN" TARNWICK_HELPERS="$WIN/helpers"
exec python3 "$ROOT/tests/e2e/soak.py"
