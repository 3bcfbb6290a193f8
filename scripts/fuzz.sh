#!/usr/bin/env bash
# Builds every fuzz target (fuzz/*_fuzz.cpp) with Debian's clang and
# libFuzzer and runs each for RUNS inputs (default one million), starting from
# its corpus in fuzz/corpus. Installs clang and its fuzzer
# runtime first when they are missing. Usage: scripts/fuzz.sh [RUNS] [BUILD_DIR]
set -eu -o pipefail
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

# The program's logic and the fakes, compiled once for every target.
mkdir -p "$OUT/obj" "$OUT/gen"
sed -e 's/@TARNWICK_VERSION@/3.4.1/' -e 's/@TARNWICK_VERSION_COMMAS@/3,4,1,0/' cmake/TarnwickVersion.h.in \
  > "$OUT/gen/TarnwickVersion.h"
FLAGS=(-std=c++20 -g -O1 -Wall -Wextra -Werror -fsanitize=address,undefined -fno-sanitize-recover=all
       -Isrc -I"$OUT/gen" -DTARNWICK_VENDOR_HOST='"127.0.0.1:8631"' -DTARNWICK_SUPPORT_EMAIL='""'
       -DTARNWICK_VENDOR_CERT_SHA256='""')
# An object is built again when its source or any header changed after it.
newest_header=$(ls -t src/*/*.h src/*/*/*.h | head -n 1)
objects=()
for src in $(ls src/{settings,chrome,app,popup,eraser,guard,update,ui}/*.cpp src/platform/fake/*.cpp \
             src/ui/fake/*.cpp | grep -v main_win32); do
  obj="$OUT/obj/$(echo "$src" | tr / _).o"
  [ "$obj" -nt "$src" ] && [ "$obj" -nt "$newest_header" ] || clang++ "${FLAGS[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  objects+=("$obj")
done

# Each target from its kept corpus (copied, so the run's finds stay in the
# build folder until someone adds them to fuzz/corpus), RUNS inputs each; a
# crash stops the script with the failing target's status, its input kept in
# the build folder as $OUT/NAME-crash-*.
for target in fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  clang++ "${FLAGS[@]}" -fsanitize=fuzzer "$target" "${objects[@]}" -o "$OUT/$name"
  mkdir -p "$OUT/$name-corpus"
  cp -n fuzz/corpus/"$name"/* "$OUT/$name-corpus/" 2>/dev/null || true
  dict=()
  [ -f "fuzz/${name%_fuzz}.dict" ] && dict=(-dict="fuzz/${name%_fuzz}.dict")
  # Stored texts and replies are short; longer inputs only slow the run down.
  echo "== $name"
  "$OUT/$name" -runs="$RUNS" -max_len=512 -artifact_prefix="$OUT/$name-" "${dict[@]}" "$OUT/$name-corpus" 2>&1 |
    tail -n 3
done
echo "Every fuzz target ran $RUNS inputs without a crash."
