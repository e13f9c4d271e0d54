#!/bin/sh
# Runs the cross-built test programs of both Windows builds under Wine, the 64-bit build first:
#   wine-tests.sh BUILD64 BUILD32 [JOBS]
# Whether this machine runs 32-bit programs is asked once (scripts/wine-env.sh); where it runs
# none, the 64-bit leg runs whole with Wine's 64-bit loader, and each test that needs a 32-bit
# program, the 32-bit leg included, says in one line that it was not run.
# Each build's Wine prefix lives in BUILD/wine and is made (wineboot) once; each test program is
# one CTest entry, and its GoogleTest count is printed after the run.
set -e
b64=$(cd "$1" && pwd)
b32=$(cd "$2" && pwd)
jobs=${3:-2}
. "$(dirname "$0")/wine-env.sh" "$b64"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or the HTML engine, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="

leg() {
  build=$1
  export WINEPREFIX="$build/wine"
  # A 32-bit build runs on a 32-bit Windows of its own, as on a machine without x64.
  if grep -q '^CMAKE_TOOLCHAIN_FILE:.*i686' "$build/CMakeCache.txt"; then
    export WINEARCH=win32
  else
    unset WINEARCH
  fi
  # A 64-bit prefix made before Wine's 32-bit half was installed cannot run 32-bit programs.
  if [ "$BREVOK_WINE32" = yes ] && [ "${WINEARCH:-win64}" = win64 ] && [ -x /usr/lib/wine/wine ] &&
     [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "Making the Wine prefix $WINEPREFIX again, with its 32-bit half"
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (once per build folder)"
    wineboot --init > "$build/wineboot.log" 2>&1 ||
      { echo "wineboot failed: $(tail -n 3 "$build/wineboot.log")"; return 1; }
    wineserver --wait
  fi
  start=$(date +%s)
  status=0
  (cd "$build" && ctest --output-on-failure -j "$jobs") || status=$?
  # "[  PASSED  ] 12 tests." of each program, and the lines of what was not run, from the log.
  awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
       /\[  PASSED  \]|\[  FAILED  \] [0-9]+ test/ { print "  " name ": " $0 }
       /^NOT RUN: / { print "  " $0 }' "$build/Testing/Temporary/LastTest.log"
  echo "Windows tests under Wine ($(basename "$build")): $(( $(date +%s) - start )) s"
  wineserver -k 2>/dev/null || true
  return $status
}

leg "$b64"
if [ "$BREVOK_WINE32" = yes ]; then
  leg "$b32"
else
  brevok_not_run "the 32-bit Windows build's tests under Wine ($(basename "$b32"))"
fi
