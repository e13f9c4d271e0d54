#!/bin/sh
# Drives the Windows window under Wine and a virtual display as a new user would, by keyboard:
# the compiler prompt of a first start answered No by Escape, Find Compiler, New, Add File with a refused name and then two valid
# ones, Re-direct, Compile, Build All into a program, Import from that program, the about box,
# the maker's two links, Close answered Yes, Exit.
# Then checks the script's exact bytes, the compiled .res, the settings in the registry, and
# that the loader finds the bound resources in the program exactly as in a copy of it into
# which windres and ld linked the same files.
#   window_test.sh BREVOK_EXE BRCC32_EXE READER_EXE LINKED_READER_EXE
# WINEPREFIX must name a prepared prefix. Runs itself again under xvfb-run when no display is set.
set -eu
. "$(dirname "$(realpath "$0")")/wine_window.sh"
window_test_start "$@"
# Short: Build All's command line, with three paths in it, must stay within 125 characters.
work=$(mktemp -d /tmp/bw-XXXXXX)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
# Opens the file dialog titled $2 with the keys $1 and accepts the path $3 in it.
choose() {
  await 'Brevok Resource Compiler.*'
  keys $1
  await "$2"
  keys ctrl+a; typed "$(winpath "$3")"; keys Return
}
# Answers the resource name prompt with $1.
name_it() { await 'Resource Name'; typed "$1"; keys Return; }

mkdir -p "$work/data" "$work/work" "$work/p"
# The files to add, in the data folder and (for the compile after Re-direct) the working folder.
for folder in data work; do
  cp "$data/logo.bmp" "$work/$folder/logo.bmp"
  cp "$icon" "$work/$folder/app.ico"
done
script="$work/p/app.rc"
program="$work/p/t.exe"
cp "$reader" "$program"

# A server of this prefix still running for programs started without this display (the test
# programs run before) would put our windows on its own desktop, which this display never shows.
wineserver -k 2>/dev/null || true
wine reg delete 'HKCU\Software\Halvane\BrevComp' /f > /dev/null 2>&1 || true
wine reg add 'HKCU\Software\Halvane\BrevComp' /v Install /t REG_SZ /d "$(winpath "$work/work")" /f > /dev/null
wine "$brevok" > "$work/brevok.log" 2>&1 &
pid=$!

await Warning                      # the compiler is not known yet
keys Escape                        # No: not now
await 'Brevok Resource Compiler.*'
closed 'Locate BRCC32' || fail "Escape answered Yes"
choose 'alt+o f' 'Locate BRCC32' "$brcc32"   # Find Compiler
gone 'Locate BRCC32'

choose 'alt+f n' 'Start a new resource script file' "$script"
gone 'Start a new resource script file'

choose 'alt+f a' 'Selecting files for resource script' "$work/data/logo.bmp"
name_it 'bad name'
await Error; keys Return
name_it Logo
gone 'Resource Name'
choose 'alt+f a' 'Selecting files for resource script' "$work/data/app.ico"
name_it AppIcon
gone 'Resource Name'

await 'Brevok Resource Compiler.*'
keys alt+a Up Return               # the last entry of Actions: Re-direct
keys alt+a c                       # Compile
await Information; keys Return
[ -s "$work/p/app.res" ] || fail "Compile wrote no app.res"

choose 'alt+o e' 'Select executable to bind resource file to' "$program"   # Select Exe to Bind
gone 'Select executable to bind resource file to'
await 'Brevok Resource Compiler.*'
before=$(md5sum < "$program")
keys alt+a b                       # Build All
changed() { [ "$(md5sum < "$program")" != "$before" ]; }
until_true "Build All did not bind into the program" changed

# Import from Program: the bound program's resources come back into the working folder, a line
# each after the two the script had.
choose 'alt+f i' 'Select program to import resources from' "$program"
gone 'Select program to import resources from'

await 'Brevok Resource Compiler.*'
keys alt+h a                       # About
await ' '
# The X window is the client area. The frame is 150 x 270 (150 x 150 raised for the 147 x 120
# logo) and centred on the 1024 x 768 screen, so at (437, 249): with a frame of f pixels at the
# sides and bottom, the client starts at x = 437 + f, is 150 - 2f wide and ends at y = 519 - f.
eval "$(xdotool getwindowgeometry --shell "$id")"
f=$(( (150 - WIDTH) / 2 ))
[ $((X - f)) -eq 437 ] && [ $((Y + HEIGHT + f)) -eq 519 ] && [ $((WIDTH % 2)) -eq 0 ] ||
  fail "the about box's client is ${WIDTH}x$HEIGHT at $X,$Y: not a centred 150 x 270 frame"
keys Escape                        # does nothing: the about box has no Cancel button
xdotool search --onlyvisible --name '^ $' > /dev/null || fail "Escape closed the about box"
keys Return                        # OK
gone ' '

# The maker's links go through the shell's "open" verb to the handler of their scheme, which
# here writes down what it was given.
handlers() {
  for scheme in mailto http; do
    wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /t REG_SZ /f /d "$1" > /dev/null
  done
}
handlers "C:\\windows\\system32\\cmd.exe /c echo %1>> $(winpath "$work/opened.txt")"
lines() { [ "$(grep -c . "$work/opened.txt" 2>/dev/null)" = "$1" ]; }
opened() { until_true "fewer than $1 links reached their handlers" lines "$1"; }
# The handler is a console program: Wine then leaves the window without the keyboard until it
# is clicked, so a click on a heading gives it back after each link. The menus are chosen by
# keyboard: where a menu's title sits depends on the fonts of the machine.
click() { xdotool mousemove --window "$id" "$1" "$2" click 1; sleep 0.5; }
await 'Brevok Resource Compiler.*'
keys alt+h End Up Return           # e-mail Halvane, the last entry but one
opened 1
await 'Brevok Resource Compiler.*'
click 60 203                       # the heading "List of Resources"
keys alt+h End Return              # Halvane on the Web, the last entry
opened 2
await 'Brevok Resource Compiler.*'
click 60 203
[ "$(tr -d '\r ' < "$work/opened.txt")" = "$(printf 'mailto:support@halvane.example\nhttp://www.halvane.example/')" ] ||
  fail "the links opened: $(cat "$work/opened.txt")"
handlers '"C:\windows\system32\winebrowser.exe" "%1"'

await 'Brevok Resource Compiler.*'
keys alt+f l                       # Close, and save
await Confirm; keys Return
await 'Brevok Resource Compiler.*'
keys alt+f e                       # Exit
wait "$pid" || true
pid=
expected=$(printf 'Logo BITMAP "%s\\logo.bmp"\r\nAppIcon ICON "%s\\app.ico"\r\n' "$(winpath "$work/work")" \
  "$(winpath "$work/work")")
[ "$(head -n 2 "$script")" = "$expected" ] || fail "script bytes: $(od -c "$script" | head -n 5)"
# The imported lines: the bound bitmap and icon among them, each naming a file in the working
# folder with the bytes the program holds (the bitmap as its file, the icon rebuilt from its group).
imported=$(tail -n +3 "$script" | tr -d '\r')
for kind in 'LOGO BITMAP' 'APPICON ICON'; do
  line=$(printf '%s\n' "$imported" | grep "^$kind \"") || fail "Import added no $kind line: $imported"
  file=$(printf '%s' "$line" | sed 's/^[^"]*"\(.*\)"$/\1/')
  case $file in "$(winpath "$work/work")\\"*) ;; *) fail "Import put $file outside the working folder" ;; esac
  unixfile="$work/work/${file##*\\}"
  [ -s "$unixfile" ] || fail "Import wrote no $unixfile"
done
cmp -s "$work/work/$(printf '%s\n' "$imported" | sed -n 's/^LOGO BITMAP ".*\\\(.*\)"$/\1/p')" "$data/logo.bmp" ||
  fail "the imported bitmap differs from the one bound"
[ "$(od -An -c "$script" | tr -d ' \n' | tail -c 4)" = '\r\n' ] || fail "no CR LF at the end of the script"
stored=$(wine reg query 'HKCU\Software\Halvane\BrevComp' 2>/dev/null | tr -d '\r')
for name in Install .RC .EXE Compiler Last SP Batch Count; do
  printf '%s\n' "$stored" | grep -q "^    $name    REG_SZ" || fail "no REG_SZ value $name"
done
printf '%s\n' "$stored" | grep -qxF "    Compiler    REG_SZ    $(winpath "$brcc32")" || fail "the compiler was not stored"
wine "$program" > "$work/bound.txt" 2>&1 || fail "the bound program does not run"
wine "$linked" > "$work/linked.txt" 2>&1 || fail "the linked program does not run"
grep -q '^LoadBitmap LOGO: 16 x 8' "$work/bound.txt" || fail "LoadBitmap finds no LOGO: $(cat "$work/bound.txt")"
grep -q '^LoadIcon APPICON colour: 32 x 32' "$work/bound.txt" || fail "LoadIcon finds no APPICON: $(cat "$work/bound.txt")"
diff "$work/linked.txt" "$work/bound.txt" || fail "the loader sees the bound resources otherwise than the linked ones"
echo "PASS: the Windows window: first start, New, Add File, Re-direct, Compile, Build All, Import, About, links, Close, Exit,"
echo "      settings as REG_SZ, the bound program's resources as the loader finds them when linked"
