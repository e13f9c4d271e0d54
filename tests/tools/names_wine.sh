#!/bin/sh
# The .exe tools find every file whatever the characters of its name, under Wine:
#   names_wine.sh BRCC32_EXE BRC32_EXE BREVDOS_EXE READER_EXE LINKED_READER_EXE LINUX_BRCC32 ICON BITMAP
# One case per name (Latin-1, Cyrillic, CJK, an emoji) and script encoding (UTF-16 LE with a
# byte order mark as Visual Studio saves it, UTF-8 with #pragma code_page(65001), 1252). A
# folder of that name holds the script of that name, which includes a header that includes
# one from a folder given with -i, which includes one from a folder in INCLUDE; the script also
# takes a bitmap, an icon and a data file. Folders carry the name; the files the script names
# too, except in 1252, which holds only the Latin-1 one.
# In each case
#   brcc32.exe SCRIPT -fo RES                      writes the Linux brcc32's .res, byte for byte;
#   brc32.exe -fo RES -fe COPY SCRIPT              writes it too and binds it into a copy of
#                                                  READER_EXE of that name, in which the loader
#                                                  finds what the .res holds and loads the bitmap
#                                                  and icon as in LINKED_READER_EXE;
#   brevdos.exe COPY_OF_BRCC32 ARGS... > FILE      runs a copy of brcc32.exe of that name on the
#                                                  same paths and captures its output in FILE;
# and a script naming a missing file gets, in brevdos's capture and in brcc32.exe's redirected
# output, the message the Linux brcc32 gives, with the name in UTF-8.
set -eu
brcc32=$(realpath "$1")
brc32=$(realpath "$2")
brevdos=$(realpath "$3")
reader=$(realpath "$4")
linked=$(realpath "$5")
linux=$(realpath -m "$6")
icon=$7
bitmap=$8
# wine-env.sh takes its own $1.
set --
. "$(dirname "$(realpath "$0")")/../../scripts/wine-env.sh"
case "$(file -b "$brcc32")" in
  *80386*) bits=32-bit; brevok_needs_32bit "the 32-bit tools with names in any characters" ;;
  *) bits=64-bit ;;
esac
[ -x "$linux" ] || { echo "FAIL: no Linux brcc32 at $linux: build it (make build)"; exit 1; }
work=$(mktemp -d /tmp/brevok-names-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
# Wine reads the names in its command line, and gives them back, in the locale's encoding.
export LC_ALL=C.UTF-8

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
text() { tr -d '\r' < "$1"; }
# What the loader finds, one "TYPE NAME LANGUAGE SIZE" line a resource, sorted: from
# resource_reader's listing, or from a .res file.
found_by_loader() {
  tr -d '\r' < "$1" | awk '/^type / { type = $2 } /^  .* language / { sub(",", "", $3); print type, $1, $3, $4 }' | sort
}
held_by_res() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
def ident(at):
    if data[at:at + 2] == b'\xff\xff':
        return '#%u' % struct.unpack_from('<H', data, at + 2)[0], at + 4
    end = at
    while data[end:end + 2] != b'\0\0':
        end += 2
    return data[at:end].decode('utf-16-le'), end + 2
lines, at = [], 0
while at + 8 <= len(data):
    size, header = struct.unpack_from('<II', data, at)
    kind, after = ident(at + 8)
    name, after = ident(after)
    after = (after + 3) & ~3
    language = struct.unpack_from('<H', data, after + 6)[0]
    if kind != '#0':
        lines.append('%s %s %04x %u' % (kind, name, language, size))
    at = (at + header + size + 3) & ~3
print('\n'.join(sorted(lines)))
PY
}
# The files of one case: make_case FOLDER ENCODING NAME NAME_IN_SCRIPT MISSING_NAME.
make_case() {
  python3 - "$@" "$icon" "$bitmap" <<'PY'
import os, shutil, sys
folder, encoding, name, inner, missing, icon, bitmap = sys.argv[1:]
def write(path, lines):
    text = ''.join(line + '\r\n' for line in lines)
    if encoding == 'utf-16':
        data = b'\xff\xfe' + text.encode('utf-16-le')
    elif encoding == 'utf-8':
        data = ('#pragma code_page(65001)\r\n' + text).encode('utf-8')
    else:
        data = text.encode('cp1252')
    open(path, 'wb').write(data)
os.makedirs(os.path.join(folder, 'inc_' + name))
os.makedirs(os.path.join(folder, 'env_' + name))
write(os.path.join(folder, name + '.rc'), [
    '#include "hdr_%s.h"' % inner,
    'LOGO BITMAP "%s.bmp"' % inner,
    'APPICON ICON "%s.ico"' % inner,
    'DATA RCDATA "%s.bin"' % inner,
    'STRINGTABLE',
    'BEGIN',
    '  IDS_NAME "%s"' % inner,
    '  IDS_MORE "more %s"' % inner,
    '  IDS_ENV "%s from INCLUDE"' % inner,
    'END'])
write(os.path.join(folder, 'hdr_%s.h' % inner), ['#define IDS_NAME 7', '#include "ids_%s.h"' % inner])
write(os.path.join(folder, 'inc_' + name, 'ids_%s.h' % inner), ['#define IDS_MORE 8', '#include "env_%s.h"' % inner])
write(os.path.join(folder, 'env_' + name, 'env_%s.h' % inner), ['#define IDS_ENV 9'])
shutil.copy(bitmap, os.path.join(folder, inner + '.bmp'))
shutil.copy(icon, os.path.join(folder, inner + '.ico'))
open(os.path.join(folder, inner + '.bin'), 'wb').write(('data of ' + inner).encode('utf-8'))
write(os.path.join(folder, 'missing_%s.rc' % name), ['GONE RCDATA "%s"' % missing])
PY
}

# What the loader makes of the bitmap and the icon, the same whatever the names.
wine "$linked" > "$work/linked.txt" 2>&1 || { echo "FAIL: $linked does not run"; exit 1; }
text "$work/linked.txt" | grep '^Load' > "$work/loaded.txt"

cases=0 identical=0 compared=0 bound=0 messages=0
for encoding in utf-16 utf-8 cp1252; do
  for name in dätä данные 数据 📦; do
    cases=$((cases + 1))
    inner=$name missing=нет_📦.bin
    if [ "$encoding" = cp1252 ]; then inner=dätä missing=nät_dätä.bin; fi
    case="$encoding script $name"
    dir="$work/$encoding/$name"
    make_case "$dir" "$encoding" "$name" "$inner" "$missing"
    (cd "$dir" && INCLUDE="$dir/env_$name" "$linux" -i "inc_$name" -fo linux.res "$name.rc" > linux.txt 2>&1) ||
      { fail "$case: the Linux brcc32: $(text "$dir/linux.txt")"; continue; }
    cp "$reader" "$dir/prog_$name.exe"
    cp "$brcc32" "$dir/brcc32_$name.exe"
    # The last header is found through INCLUDE, which brevdos.exe passes on to brcc32.
    INCLUDE=$(printf 'Z:%s' "$dir/env_$name" | tr / '\\')
    export INCLUDE
    (cd "$dir" && wine "$brcc32" -i "inc_$name" -fo "out_$name.res" "$name.rc" > brcc32.txt 2>&1) ||
      fail "$case: brcc32.exe: $(text "$dir/brcc32.txt")"
    # brc32.exe and brevdos.exe get paths through the folder, as Windows writes them.
    (cd "$dir/.." && wine "$brc32" -i "$name\\inc_$name" -fo "$name\\bound_$name.res" -fe "$name\\prog_$name.exe" \
                      "$name\\$name.rc" > "$name/brc32.txt" 2>&1) ||
      fail "$case: brc32.exe: $(text "$dir/brc32.txt")"
    (cd "$dir/.." && wine "$brevdos" "$name\\brcc32_$name.exe" -i "$name\\inc_$name" -fo "$name\\run_$name.res" \
                      "$name\\$name.rc" ">" "$name\\capture_$name.txt" > "$name/brevdos.txt" 2>&1) ||
      fail "$case: brevdos.exe: $(text "$dir/brevdos.txt")"
    unset INCLUDE
    for res in "out_$name.res" "bound_$name.res" "run_$name.res"; do
      compared=$((compared + 1))
      if [ ! -f "$dir/$res" ]; then
        fail "$case: no $res"
      elif cmp -s "$dir/$res" "$dir/linux.res"; then
        identical=$((identical + 1))
      else
        fail "$case: $res is not the Linux brcc32's .res"
      fi
    done
    [ -f "$dir/capture_$name.txt" ] && head -n 1 "$dir/capture_$name.txt" | grep -q '^brcc32 ' ||
      fail "$case: brevdos.exe captured no brcc32 output in capture_$name.txt"
    # The bound copy, started by its own name, as the loader sees it.
    if [ ! -f "$dir/bound_$name.res" ]; then
      :
    elif (cd "$dir" && wine "prog_$name.exe" > listing.txt 2>&1); then
      held_by_res "$dir/linux.res" > "$dir/held.txt"
      found_by_loader "$dir/listing.txt" > "$dir/found.txt"
      text "$dir/listing.txt" | grep '^Load' > "$dir/loaded.txt" || true
      if ! cmp -s "$dir/held.txt" "$dir/found.txt"; then
        fail "$case: the loader finds in prog_$name.exe otherwise than the .res holds: $(diff "$dir/held.txt" "$dir/found.txt" | tr -d '\r')"
      elif ! cmp -s "$work/loaded.txt" "$dir/loaded.txt"; then
        fail "$case: the bitmap or icon loads otherwise than in $(basename "$linked"): $(text "$dir/loaded.txt")"
      else
        bound=$((bound + 1))
      fi
    else
      fail "$case: prog_$name.exe does not run: $(text "$dir/listing.txt")"
    fi
    # The missing file's message, with the banner's three lines left out.
    (cd "$dir" && "$linux" -fo m.res "missing_$name.rc" | tail -n +4 > missing_linux.txt) || true
    grep -qF "$missing" "$dir/missing_linux.txt" || fail "$case: the Linux brcc32 does not name $missing: $(cat "$dir/missing_linux.txt")"
    direct=0 captured=0
    (cd "$dir" && wine "$brcc32" -fo m.res "missing_$name.rc" > "missing_$name.txt" 2>&1) || direct=$?
    (cd "$dir" && wine "$brevdos" "brcc32_$name.exe" -fo m.res "missing_$name.rc" ">" "capture_missing_$name.txt" > /dev/null 2>&1) ||
      captured=$?
    for output in "missing_$name.txt $direct" "capture_missing_$name.txt $captured"; do
      status=${output##* } output=${output% *}
      if [ "$status" = 1 ] && [ -f "$dir/$output" ] && text "$dir/$output" | tail -n +4 | cmp -s - "$dir/missing_linux.txt"; then
        messages=$((messages + 1))
      else
        fail "$case: $output (exit code $status) does not read as the Linux brcc32's message: $(text "$dir/$output" 2>&1 | tail -n +4)"
      fi
    done
  done
done
echo "names under Wine, $bits tools: $cases cases; $identical of $compared .res byte-identical to the Linux brcc32's; $bound bound programs read back by the loader; $messages of $((cases * 2)) missing-file messages as on Linux"
[ "$failures" -eq 0 ]
