#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing; does nothing (and needs no network) when all are there.
set -eu
PACKAGES=(g++ cmake make libgtest-dev googletest g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool
          imagemagick ccache python3 x11-utils fp-utils osslsigncode openssl nsis p7zip-full php-cli)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo -n)
  else
    echo "Not root and no sudo: install these packages first: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
timeout 900 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
timeout 1800 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
