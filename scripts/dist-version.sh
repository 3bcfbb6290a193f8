#!/usr/bin/env bash
# Builds the program as another version and its installer (make dist
# VERSION=x.y.z): scripts/dist-version.sh WIN_BUILD VERSION
# The build lands in WIN_BUILD-VERSION, the installer and the vendor
# server's files in build/dist-VERSION. It is signed with WIN_BUILD's
# certificate, so that the program of WIN_BUILD accepts its installer.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WIN="$(cd "$1" && pwd)"
VERSION="$2"
setting() { sed -n "s/^$1:[A-Z]*=//p" "$WIN/CMakeCache.txt"; }
CERT=$(setting TARNWICK_SIGN_CERT)
KEY=$(setting TARNWICK_SIGN_KEY)
[ -n "$CERT" ] || { CERT="$WIN/signing/test-cert.pem"; KEY="$WIN/signing/test-key.pem"; }
cmake -S "$ROOT" -B "$WIN-$VERSION" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-posix.cmake" \
  -DTARNWICK_VENDOR_HOST="$(setting TARNWICK_VENDOR_HOST)" -DTARNWICK_VERSION="$VERSION" \
  -DTARNWICK_SIGN_CERT="$CERT" -DTARNWICK_SIGN_KEY="$KEY" > /dev/null
cmake --build "$WIN-$VERSION" -j2 --target tarnwick help_file > /dev/null
bash "$ROOT/scripts/dist.sh" "$WIN-$VERSION" "$(dirname "$WIN")/dist-$VERSION"
