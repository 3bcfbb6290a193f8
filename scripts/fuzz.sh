#!/usr/bin/env bash
# Builds the fuzzers (shortcut texts; the version reply's lines, the version
# comparison and the download URL) with Debian's clang and libFuzzer and runs each for RUNS inputs
# (default one million). Installs clang and its fuzzer
# runtime first when they are missing. Usage: scripts/fuzz.sh [RUNS] [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
RUNS=${1:-1000000}
OUT=${2:-build/fuzz}

missing=()
for p in clang libclang-rt-14-dev; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=()
  [ "$(id -u)" -eq 0 ] || SUDO=(sudo -n)
  timeout 900 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  timeout 1800 "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

mkdir -p "$OUT/corpus"
clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc fuzz/shortcut_fuzz.cpp src/popup/HotKeyManager.cpp src/platform/fake/FakeHotKeys.cpp src/ui/Toolkit.cpp \
  -o "$OUT/shortcut_fuzz"
# Stored shortcut texts are short; longer inputs only slow the run down.
"$OUT/shortcut_fuzz" -runs="$RUNS" -max_len=256 -dict=fuzz/shortcut.dict "$OUT/corpus"

mkdir -p "$OUT/versionreply-corpus"
clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc fuzz/versionreply_fuzz.cpp src/update/VersionReply.cpp src/update/HTTPGet.cpp -o "$OUT/versionreply_fuzz"
"$OUT/versionreply_fuzz" -runs="$RUNS" -max_len=512 "$OUT/versionreply-corpus"
