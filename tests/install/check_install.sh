#!/bin/sh
# Installs a build into a scratch DESTDIR and checks what landed there: every file in its place,
# the programs runnable from there, the desktop entry valid, the MIME type read by the shared
# MIME database, the icon sizes true to their folders, the manual pages free of warnings.
# Usage: check_install.sh BUILD_DIR VERSION gui|tools
set -eu
build=$1 version=$2 kind=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR=$root cmake --install "$build" --prefix /usr > "$root.log" 2>&1 || { cat "$root.log"; rm -f "$root.log"; exit 1; }
rm -f "$root.log"
usr=$root/usr

programs="brcc32 brc32 brevdos"
[ "$kind" = gui ] && programs="$programs brevok"
for p in $programs; do
  [ -x "$usr/bin/$p" ] || fail "$p is not installed in bin/"
  out=$("$usr/bin/$p" --version 2>&1 | head -n 1) || true
  [ "$out" = "$p (Brevok Resource Compiler) $version" ] || fail "$p --version from bin/ says: $out"
  man=$usr/share/man/man1/$p.1.gz
  [ -f "$man" ] || { fail "no manual page $man"; continue; }
  warnings=$(gzip -dc "$man" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "manual page of $p: $warnings"
  gzip -dc "$man" | grep -q "\"Brevok $version\"" || fail "manual page of $p does not carry version $version"
done

# brcc32-windres: a link to brcc32 beside it, which a build system takes for a windres.
[ "$(readlink "$usr/bin/brcc32-windres" 2>/dev/null)" = brcc32 ] || fail "bin/brcc32-windres is no link to brcc32"
"$usr/bin/brcc32-windres" --version 2>&1 | grep -q 'GNU windres' || fail "brcc32-windres --version names no GNU windres"

if [ "$kind" = gui ]; then
  [ -f "$usr/share/brevok/brevhelp.html" ] || fail "no help page in share/brevok/"
  desktop=$usr/share/applications/brevok.desktop
  result=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $result"
  [ -z "$result" ] || fail "desktop-file-validate: $result"
  grep -qx 'Exec=brevok %f' "$desktop" || fail "the desktop entry does not hand a file to brevok"
  for size in 16 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/brevok.png
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "icon $png is $dims"
  done
  [ -f "$usr/share/icons/hicolor/scalable/apps/brevok.svg" ] || fail "no scalable icon"
  # The MIME database built from the installed entry alone must map *.rc to the type the
  # desktop entry names.
  mime=$usr/share/mime
  result=$(XDG_DATA_DIRS=$usr/share update-mime-database "$mime" 2>&1) || fail "update-mime-database: $result"
  [ -z "$result" ] || fail "update-mime-database: $result"
  grep -q '^50:text/x-rc:\*\.rc$' "$mime/globs2" 2>/dev/null || fail "the MIME database does not map *.rc to text/x-rc"
  grep -qx 'MimeType=text/x-rc;' "$desktop" || fail "the desktop entry does not open text/x-rc"
fi

[ "$failures" -eq 0 ] && echo "install into DESTDIR: all checks passed"
[ "$failures" -eq 0 ]
