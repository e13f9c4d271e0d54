#!/bin/sh
# Writes pictures of the Windows window under Wine, with a script open, and of its about box,
# for a person to look at: win32-screenshot.sh BREVOK_EXE OUTPUT_PNG [ABOUT_PNG]. WINEPREFIX names the prefix to use (made when
# missing). Runs itself again under xvfb-run when no display is set.
set -eu
if [ -z "${BREVOK_SHOT_DISPLAY:-}" ]; then
  BREVOK_SHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
brevok=$(realpath "$1")
out=$2
. "$(dirname "$(realpath "$0")")/wine-env.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "${WINEPREFIX:?}/system.reg" ] || { wineboot --init > /dev/null 2>&1; wineserver --wait; }
work=$(mktemp -d /tmp/brevok-shot-XXXXXX)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

mkdir -p "$work/project"
script="$work/project/demo.rc"
printf '%s\r\n' 'Splash BITMAP "C:\Users\ann\art\Splash Screen.bmp"' 'MAINICON ICON "C:\Users\ann\art\app.ico"' \
  'Click WAVE "C:\Users\ann\sounds\click.wav"' 'Data1 RCDATA "C:\Users\ann\data\table.bin"' > "$script"
key='HKCU\Software\Halvane\BrevComp'
wine reg delete "$key" /f > /dev/null 2>&1 || true
for pair in "Install=C:\\Users\\ann\\build\\" ".RC=$(winpath "$script")" ".EXE=C:\\Users\\ann\\build\\demo.exe" \
            "Compiler=C:\\tools\\brcc32.exe" "Last=1" "SP=0"; do
  wine reg add "$key" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f > /dev/null
done
wine "$brevok" > /dev/null 2>&1 &
pid=$!
id=$(timeout 60 xdotool search --sync --onlyvisible --name '^Brevok Resource Compiler' | head -n 1)
sleep 2
import -window "$id" "$out"
echo "$out"
if [ -n "${3:-}" ]; then
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.3
  xdotool key alt+h a
  about=$(timeout 30 xdotool search --sync --onlyvisible --name '^ $' | head -n 1)
  sleep 1
  import -window "$about" "$3"
  xdotool key Return
  echo "$3"
fi
