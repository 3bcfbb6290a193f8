#!/usr/bin/env bash
# Makes the signed installer of the built program (make dist):
#   scripts/dist.sh WIN_BUILD OUT_FOLDER
# WIN_BUILD holds tarnwick.exe, help.chm and signing/sign.sh; the installer
# lands in OUT_FOLDER/setup.exe, and the vendor server's files in
# OUT_FOLDER/www (the version answer and the installer it hands out), to be
# served with `php -S 127.0.0.1:8631 -t OUT_FOLDER/www`.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
WIN="$(cd "$1" && pwd)"
OUT="$2"
VERSION=$(sed -n 's/^TARNWICK_VERSION:STRING=//p' "$WIN/CMakeCache.txt")
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
makensis -V2 -DVERSION="$VERSION" -DBUILD="$WIN" -DICON="$ROOT/res/tarnwick.ico" -DOUTFILE="$OUT/setup.exe" \
  -DSIGN="sh $WIN/signing/sign.sh %1" "$ROOT/installer/tarnwick.nsi"
for signed in "$WIN/tarnwick.exe" "$OUT/setup.exe"; do
  osslsigncode verify -CAfile "$WIN/signing/vendor-cert.pem" -in "$signed" > "$OUT/verify.txt" 2>&1 ||
    { cat "$OUT/verify.txt" >&2; echo "$signed: the signature does not verify" >&2; exit 1; }
done
rm -f "$OUT/verify.txt"
mkdir -p "$OUT/www/tarnwick/download"
cp "$ROOT/server/verzija.php" "$OUT/www/tarnwick/verzija.php"
printf '%s\n' "$VERSION" > "$OUT/www/tarnwick/version.txt"
cp "$OUT/setup.exe" "$OUT/www/tarnwick/download/setup.exe"
echo "Installer of Tarnwick $VERSION: $OUT/setup.exe ($(stat -c %s "$OUT/setup.exe") bytes)"
