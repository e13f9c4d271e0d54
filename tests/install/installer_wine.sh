#!/bin/sh
# A Windows installer as a user meets it, in a fresh Wine prefix of the kind given (win64 or
# win32, the machine the installer chooses its build by):
#   installer_wine.sh SETUP_EXE WINEARCH PROBE_EXE
# SETUP_EXE is brevok-VERSION-setup.exe (for every Windows, a 32-bit program) or
# brevok-VERSION-setup-x64.exe (64-bit Windows only).
# Silent install; the files and registry entries it added (listed); the build that fits the
# machine; Apps and Features' entry; the installer's own version resource and icon; the
# Start-menu shortcut's target, started; a script opened by the .rc association's command
# line, shown by caption, labels and the list's rows; the first start's compiler prompt taking the brcc32
# beside the program; Compile from the installed folder with the shipped headers; Help starting
# hh.exe on the installed brevhelp.chm; the portable zip of the kind compiling the same script
# to the same bytes; then silent uninstall, which must leave none of what
# was added, and the user's settings where they were; installed again and uninstalled with
# the settings box ticked, which takes them too.
set -eu
if [ -z "${BREVOK_TEST_DISPLAY:-}" ]; then
  BREVOK_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
setup=$(realpath "$1")
arch=$2
probe=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
. "$here/../ui/win32/wine_window.sh"
. "$here/../../scripts/wine-env.sh"
[ -f "$setup" ] || fail "no installer at $setup (make windows-installer writes it)"
case $(file -b "$setup") in
  PE32\ executable*) brevok_needs_32bit "$(basename "$setup") in a $arch prefix (the installer is a 32-bit program)" ;;
esac

work=$(mktemp -d /tmp/bi-XXXXXX)
export WINEPREFIX="$work/prefix" WINEARCH="$arch" WINEDEBUG=-all
# No Mono or Gecko prompts, and no desktop menu entries written for the Start-menu shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Until every program of the prefix has ended and the server has saved the registry. Wine's
# own services now and then stay on after the last program; they are ended after a minute.
settle() {
  timeout 60 wineserver -w || { echo "(Wine's services stayed on: ended)"; wineserver -k; wineserver -w; }
}
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
echo "A fresh $arch prefix"
wineboot --init > "$work/wineboot.log" 2>&1
settle

drive="$WINEPREFIX/drive_c"
folder="C:\\Program Files\\Brevok Resource Compiler"
installed="$drive/Program Files/Brevok Resource Compiler"
settings='HKCU\Software\Halvane\BrevComp'
unix() { winepath -u "$1" 2>/dev/null; }
# reg.exe of the machine's own kind, so that the 64-bit view is read on win64.
view=; [ "$arch" = win64 ] && view=/reg:64
q() { wine reg query "$@" $view 2>/dev/null | tr -d '\r'; }
# The files below C: (Wine's own folder left out) and the keys and values below Software in
# both hives (Wine's own left out), one per line, sorted. The registry files are whole once
# the server has ended, which wineserver -w waits for.
snapshot() {
  settle
  (cd "$drive" && find . ! -path './windows/*' | sed 's/^/file /')
  for hive in user system; do
    awk -v hive="$hive" '
      /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); keep = key ~ /^\[Software\\\\/ && key !~ /^\[Software\\\\Wine/
              if (keep) print hive " " key; next }
      keep && !/^#/ && NF { print hive " " key " " $0 }' "$WINEPREFIX/$hive.reg"
  done
}
snapshot | sort > "$work/before"

echo "Silent install: $(basename "$setup") /S"
wine "$setup" /S
snapshot | sort > "$work/installed"
comm -13 "$work/before" "$work/installed" > "$work/added"
echo "It added $(grep -c '^file' "$work/added") files and folders, $(grep -vc '^file' "$work/added") keys and values:"
sed 's/^/  /' "$work/added"

for file in brevok.exe brcc32.exe brc32.exe brevdos.exe brevhelp.chm README.txt uninstall.exe include/windows.h \
            include/winres.h include/afxres.h; do
  [ -f "$installed/$file" ] || fail "not installed: $file"
done
case $arch in
  win64) machine='PE32+ executable (GUI) x86-64' ;;
  *) machine='PE32 executable (GUI) Intel 80386' ;;
esac
file "$installed/brevok.exe" | grep -qF "$machine" || fail "on $arch the installed program is $(file -b "$installed/brevok.exe")"
version=$(basename "$setup" | sed 's/^brevok-\(.*\)-setup\(-x64\)\{0,1\}\.exe$/\1/')
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brevok Resource Compiler'
entry=$(q "$uninstall")
for value in "DisplayName    REG_SZ    Brevok Resource Compiler" "DisplayVersion    REG_SZ    $version" \
             "Publisher    REG_SZ    Halvane" "DisplayIcon    REG_SZ    $folder\\brevok.exe,0" \
             "UninstallString    REG_SZ    \"$folder\\uninstall.exe\"" "InstallLocation    REG_SZ    $folder"; do
  printf '%s\n' "$entry" | grep -qxF "    $value" || fail "Apps and Features: no \"$value\" in: $entry"
done
size=$(printf '%s\n' "$entry" | sed -n 's/^    EstimatedSize    REG_DWORD    //p')
[ $((size)) -gt 1000 ] || fail "Apps and Features: size $size KB"
wine "$probe" version "$(winpath "$setup")" | tr -d '\r' > "$work/setup-version"
grep -qxF "ProductName: Brevok Resource Compiler" "$work/setup-version" && grep -qxF "FileVersion: $version" "$work/setup-version" &&
  grep -qxF "icons: 1" "$work/setup-version" || fail "the installer's own version and icon: $(cat "$work/setup-version")"

# The Start-menu shortcut, for all users.
link=$(cd "$drive" && find . -name 'Brevok Resource Compiler.lnk' | head -n 1)
[ -n "$link" ] || fail "no Start-menu shortcut"
case $link in ./ProgramData/Microsoft/Windows/Start\ Menu/Programs/*) ;; *) fail "the shortcut is at $link" ;; esac
target=$(wine "$probe" shortcut "C:$(printf '%s' "${link#.}" | tr / '\\')" | tr -d '\r' | sed -n 's/^target: //p')
[ "$target" = "$folder\\brevok.exe" ] || fail "the shortcut leads to \"$target\""
[ -f "$(unix "$target")" ] || fail "the shortcut's target is missing"
wine "$target" > "$work/shortcut.log" 2>&1 &
pid=$!
await Warning                      # the compiler is not known yet
keys Escape                        # No
await 'Brevok Resource Compiler.*'
wine "$probe" window 'Brevok Resource Compiler' | tr -d '\r' > "$work/window"
grep -qxF "caption: Brevok Resource Compiler Version $version  by Halvane" "$work/window" ||
  fail "the program from the shortcut: $(cat "$work/window")"
keys alt+f e
wait "$pid" || true
pid=

# A script opened the way Explorer opens it: the .rc association's command line.
[ "$(q 'HKCU\Software\Classes\.rc' /ve | sed -n 's/^    (Default)    REG_SZ    //p')" = Brevok.ResourceScript ] ||
  fail ".rc is not associated with the program in a prefix where nothing had it"
command=$(q 'HKCU\Software\Classes\Brevok.ResourceScript\shell\open\command' /ve | sed -n 's/^    (Default)    REG_SZ    //p')
[ "$command" = "\"$folder\\brevok.exe\" \"%1\"" ] || fail "the association runs: $command"
[ "$(q 'HKCU\Software\Classes\Brevok.ResourceScript\shell\open' /ve | sed -n 's/^    (Default)    REG_SZ    //p')" = \
  "Open with Brevok Resource Compiler" ] || fail "the verb's text"
mkdir -p "$work/p"
cp "$here/../ui/win32/data/logo.bmp" "$work/p/logo.bmp"
printf '#include <windows.h>\r\nLogo BITMAP "logo.bmp"\r\nLogoData RCDATA "logo.bmp"\r\n' > "$work/p/app.rc"
script=$(winpath "$work/p/app.rc")
program=$(printf '%s' "$command" | sed 's/^"\([^"]*\)".*/\1/')
wine "$program" "$script" > "$work/association.log" 2>&1 &
pid=$!
await Warning
keys Return                        # Yes: locate the compiler
await 'Locate BRCC32'
keys Return                        # the BRCC32.exe it offers, beside the program
gone 'Locate BRCC32'
await 'Brevok Resource Compiler.*'
wine "$probe" window 'Brevok Resource Compiler' | tr -d '\r' > "$work/window"
for line in "caption: Brevok Resource Compiler Version $version  by Halvane" \
            "label: Current Resource Script File: $script" "label: Compiler $folder\\BRCC32.exe" \
            "items: 3"; do
  grep -qxF "$line" "$work/window" || fail "no \"$line\" in the window: $(cat "$work/window")"
done
keys alt+a c                       # Compile
await Information; keys Return
[ -s "$work/p/app.res" ] || fail "Compile wrote no app.res"
# Help: hh.exe on the installed help file; its window bears the help's title.
await 'Brevok Resource Compiler.*'
keys alt+h Return
await 'Brevok Resource Compiler Help'
keys alt+F4
gone 'Brevok Resource Compiler Help'
await 'Brevok Resource Compiler.*'
keys alt+f e
wait "$pid" || true
pid=
q "$settings" | grep -qxF "    Compiler    REG_SZ    $folder\\BRCC32.exe" || fail "the compiler was not stored: $(q "$settings")"

# The portable zip of the same kind: unpacked anywhere, its brcc32.exe finds its own headers
# and compiles the script to the bytes the installed one wrote.
zip="$(dirname "$setup")/brevok-$version-$arch.zip"
mkdir "$work/portable"
(cd "$work/portable" && cmake -E tar xf "$zip")
portable=$(echo "$work"/portable/brevok-*-"$arch")
for file in brevok.exe brcc32.exe brc32.exe brevdos.exe brevhelp.chm README.txt include/windows.h; do
  [ -f "$portable/$file" ] || fail "not in $(basename "$zip"): $file"
done
(cd "$work/p" && wine "$(winpath "$portable/brcc32.exe")" -fo portable.res app.rc > "$work/portable.log" 2>&1) ||
  fail "the portable brcc32.exe: $(cat "$work/portable.log")"
cmp -s "$work/p/app.res" "$work/p/portable.res" || fail "the portable brcc32.exe writes other bytes"

echo "Silent uninstall: uninstall.exe /S"
wine "$folder\\uninstall.exe" /S
snapshot | sort > "$work/after"
comm -12 "$work/added" "$work/after" > "$work/left"
[ ! -s "$work/left" ] || fail "the uninstaller left: $(cat "$work/left")"
echo "It removed all $(wc -l < "$work/added") of them."
q "$settings" | grep -qxF "    Compiler    REG_SZ    $folder\\BRCC32.exe" || fail "the uninstaller took the user's settings"
# Installed again, and uninstalled by a user who ticks "Remove my settings".
wine "$setup" /S
settle
wine "$folder\\uninstall.exe" > "$work/uninstall.log" 2>&1 &
await 'Brevok Resource Compiler Uninstall '
keys Return                        # Next on the first page
keys space                         # tick the only box, "Remove my settings", which has the keyboard
keys Return                        # Uninstall
await 'Brevok Resource Compiler Uninstall '
keys Return                        # Finish
settle
[ ! -d "$installed" ] || fail "the second uninstall left $installed"
! q "$settings" | grep -q '^    Compiler    REG_SZ' || fail "the settings stay although the box was ticked"
echo "PASS: $(basename "$setup") on $arch: silent install, shortcut, association, Compile, Help, portable zip, silent uninstall keeping the settings, uninstall with the box ticked taking them"
