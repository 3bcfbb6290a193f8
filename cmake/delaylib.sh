#!/bin/sh
# Makes an import library whose DLL is loaded at the first call of one of
# its functions instead of at start-up:
#   delaylib.sh NM DLLTOOL IMPORT_LIBRARY DLL_NAME OUTPUT
# Every function of the ordinary import library is in it.
set -e
nm="$1" dlltool="$2" implib="$3" dll="$4" out="$5"
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$nm" -g "$implib" | sed -n 's/^.* I __imp_\(.*\)$/\1/p' | sort -u
} > "$out.def"
"$dlltool" --input-def "$out.def" --output-delaylib "$out"
