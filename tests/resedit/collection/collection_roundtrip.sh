#!/bin/sh
# Wine's PE files (both architectures) through collection_roundtrip, with windres's reading of each.
#   collection_roundtrip.sh CHECKER WINDRES
set -eu
checker=$1
windres=$2
work=$(mktemp -d /tmp/brevok-roundtrip-XXXXXX)
trap 'rm -rf "$work"' EXIT
set --
n=0
for program in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/* /usr/lib/i386-linux-gnu/wine/i386-windows/*; do
  [ -f "$program" ] || continue
  case "$(head -c 2 "$program")" in MZ) ;; *) continue ;; esac
  "$windres" -J coff -i "$program" -O res -o "$work/$n.res" 2> /dev/null || rm -f "$work/$n.res"
  set -- "$@" "$program"
  n=$((n + 1))
done
[ "$n" -gt 0 ] || { echo "NOT RUN: no Wine PE files on this machine"; exit 77; }
"$checker" "$work" "$@"
