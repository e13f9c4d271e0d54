#!/bin/sh
# brc32.exe of one Windows build binding into a program of the other architecture, under Wine:
#   cross_bind_wine.sh BRC32_EXE READER_EXE LINKED_READER_EXE ICON BITMAP
# READER_EXE is resource_reader.exe of the other build; the loader must find in the bound copy
# exactly what it finds in LINKED_READER_EXE, the same program with the same files linked by
# windres and ld. On a 32-bit prefix the 64-bit programs run in the other build's prefix.
set -eu
. "$(dirname "$(realpath "$0")")/../../scripts/wine-env.sh"
brevok_needs_32bit "brc32.exe binding into the other architecture's program (one of the two is 32-bit)"
brc32=$(realpath "$1")
for file in "$2" "$3"; do
  [ -f "$file" ] || { echo "FAIL: no $file: build the other Windows build (make windows)"; exit 1; }
done
work=$(mktemp -d /tmp/brevok-cross-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
cp "$2" "$work/t.exe"
cp "$4" "$work/app.ico"
cp "$5" "$work/logo.bmp"
printf 'LOGO BITMAP "logo.bmp"\r\nAPPICON ICON "app.ico"\r\n' > "$work/app.rc"
(cd "$work" && wine "$brc32" -fo app.res -fe t.exe app.rc > brc32.log 2>&1) ||
  { echo "FAIL: brc32.exe: $(tr -d '\r' < "$work/brc32.log")"; exit 1; }
run() { wine "$@"; }
if [ "${WINEARCH:-win64}" = win32 ]; then
  peer="$(cd "$(dirname "$2")/.." && pwd)/wine"
  [ -f "$peer/system.reg" ] || { echo "FAIL: no 64-bit prefix $peer: run the 64-bit build's tests first"; exit 1; }
  run() { env -u WINEARCH WINEPREFIX="$peer" wine "$@"; }
fi
run "$work/t.exe" > "$work/bound.txt" 2>&1 || { echo "FAIL: the bound program does not run"; exit 1; }
run "$3" > "$work/linked.txt" 2>&1 || { echo "FAIL: the linked program does not run"; exit 1; }
grep -q '^LoadIcon APPICON colour: 32 x 32' "$work/bound.txt" || { echo "FAIL: no APPICON: $(cat "$work/bound.txt")"; exit 1; }
diff "$work/linked.txt" "$work/bound.txt" || { echo "FAIL: the loader sees the bound resources otherwise"; exit 1; }
echo "PASS: $(file -b "$work/t.exe" | cut -d, -f1) bound by $(file -b "$brc32" | cut -d, -f1)"
