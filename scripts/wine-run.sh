#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix (the CMake
# cross-compiling emulator of the Win32 test layer).
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
