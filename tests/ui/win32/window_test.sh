#!/bin/sh
# Drives the Windows window under Wine and a virtual display as a new user would, by keyboard:
# the compiler prompt of a first start, New, Add File with a refused name and then a valid one,
# Re-direct, Compile, Close answered Yes, Exit; then checks the script's exact bytes, the
# compiled .res and the settings in the registry.
#   window_test.sh BREVOK_EXE BRCC32_EXE
# WINEPREFIX must name a prepared prefix. Runs itself again under xvfb-run when no display is set.
set -eu
if [ -z "${BREVOK_TEST_DISPLAY:-}" ]; then
  BREVOK_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
brevok=$(realpath "$1")
brcc32=$(realpath "$2")
export WINEDEBUG=-all
work=$(mktemp -d /tmp/brevok-window-XXXXXX)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
fail() { echo "FAIL: $*"; exit 1; }
# Waits for a window whose title is exactly $1 and gives it the keyboard.
await() {
  echo "waiting for \"$1\""
  id=$(timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || fail "no window \"$1\""
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.3
}
keys() { xdotool key --delay 150 "$@"; sleep 0.3; }
typed() { xdotool type --delay 20 "$1"; sleep 0.2; }
gone() { while xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; do sleep 0.2; done; }

mkdir -p "$work/data" "$work/work" "$work/project"
# A 1 x 1 24-bit bitmap, in the data folder and (for the compile after Re-direct) the working folder.
printf 'BM:\000\000\000\000\000\000\0006\000\000\000(\000\000\000\001\000\000\000\001\000\000\000\001\000\030\000\000\000\000\000\004\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\040\100\300\000' > "$work/data/logo.bmp"
cp "$work/data/logo.bmp" "$work/work/logo.bmp"
script="$work/project/app.rc"

wine reg delete 'HKCU\Software\Halvane\BrevComp' /f > /dev/null 2>&1 || true
wine reg add 'HKCU\Software\Halvane\BrevComp' /v Install /t REG_SZ /d "$(winpath "$work/work")" /f > /dev/null
wine "$brevok" > "$work/brevok.log" 2>&1 &
pid=$!

await Warning                      # the compiler is not known yet
keys Return                        # Yes: browse for it
await 'Locate BRCC32'
keys ctrl+a; typed "$(winpath "$brcc32")"; keys Return
gone 'Locate BRCC32'

await 'Brevok Resource Compiler.*'
keys alt+f n
await 'Start a new resource script file'
typed "$(winpath "$script")"; keys Return
gone 'Start a new resource script file'

keys alt+f a
await 'Selecting files for resource script'
typed "$(winpath "$work/data/logo.bmp")"; keys Return
await 'Resource Name'
typed 'bad name'; keys Return
await Error; keys Return
await 'Resource Name'
typed 'Logo'; keys Return
gone 'Resource Name'

await 'Brevok Resource Compiler.*'
keys alt+a Up Return               # the last entry of Actions: Re-direct
keys alt+a c                       # Compile
await Information; keys Return
[ -s "$work/project/app.res" ] || fail "Compile wrote no app.res"

await 'Brevok Resource Compiler.*'
keys alt+f l                       # Close, and save
await Confirm; keys Return
await 'Brevok Resource Compiler.*'
keys alt+f e                       # Exit
wait "$pid" || true
pid=
expected=$(printf 'Logo BITMAP "%s\\logo.bmp"\r\n' "$(winpath "$work/work")")
[ "$(cat "$script")" = "$expected" ] || fail "script bytes: $(od -c "$script" | head -n 5)"
[ "$(od -An -c "$script" | tr -d ' \n' | tail -c 4)" = '\r\n' ] || fail "no CR LF at the end of the script"
stored=$(wine reg query 'HKCU\Software\Halvane\BrevComp' 2>/dev/null | tr -d '\r')
for name in Install .RC .EXE Compiler Last SP Batch Count; do
  printf '%s\n' "$stored" | grep -q "^    $name    REG_SZ" || fail "no REG_SZ value $name"
done
printf '%s\n' "$stored" | grep -qxF "    Compiler    REG_SZ    $(winpath "$brcc32")" || fail "the compiler was not stored"
echo "PASS: the Windows window: first start, New, Add File, Re-direct, Compile, Close, Exit, settings as REG_SZ"
