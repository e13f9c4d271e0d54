#!/bin/sh
# The installer's first page under Wine and a virtual display, in a fresh prefix:
#   installer-screenshot.sh SETUP_EXE OUT.png
# Where the machine runs no 32-bit programs, the 64-bit installer beside SETUP_EXE is shown.
set -eu
if [ -z "${BREVOK_SHOT_DISPLAY:-}" ]; then
  BREVOK_SHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
setup=$(realpath "$1")
out=$(realpath "$2")
. "$(dirname "$(realpath "$0")")/../tests/ui/win32/wine_window.sh"
. "$(dirname "$(realpath "$0")")/wine-env.sh"
[ "$BREVOK_WINE32" = yes ] || setup="${setup%.exe}-x64.exe"
work=$(mktemp -d /tmp/bshot-XXXXXX)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
wineboot --init > /dev/null 2>&1
wine "$setup" > /dev/null 2>&1 &
await 'Brevok Resource Compiler Setup'
sleep 1
import -window root -crop 497x333+263+227 +repage "$out"
