#!/bin/sh
# Runs the cross-built test programs of a Windows build folder (64-bit or 32-bit) under Wine:
# wine-tests.sh BUILD_FOLDER [JOBS]. The Wine prefix lives in BUILD_FOLDER/wine and is made
# (wineboot) once;
# each test program is one CTest entry, and its GoogleTest count is printed after the run.
set -e
build=$(cd "$1" && pwd)
jobs=${2:-2}
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or the HTML engine, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A 32-bit build runs on a 32-bit Windows of its own, as on a machine without x64.
if grep -q '^CMAKE_TOOLCHAIN_FILE:.*i686' "$build/CMakeCache.txt"; then
  export WINEARCH=win32
fi
# A 64-bit prefix made before Wine's 32-bit half was installed cannot run 32-bit programs.
if [ "${WINEARCH:-win64}" = win64 ] && [ -x /usr/lib/wine/wine ] && [ -f "$WINEPREFIX/system.reg" ] &&
   [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  echo "Making the Wine prefix $WINEPREFIX again, with its 32-bit half"
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX (once per build folder)"
  wineboot --init > "$build/wineboot.log" 2>&1
  wineserver --wait
fi
start=$(date +%s)
status=0
(cd "$build" && ctest --output-on-failure -j "$jobs") || status=$?
# "[  PASSED  ] 12 tests." of each program, from the log of the run.
awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 } /\[  PASSED  \]|\[  FAILED  \] [0-9]+ test/ { print "  " name ": " $0 }' \
  "$build/Testing/Temporary/LastTest.log"
echo "Windows tests under Wine: $(( $(date +%s) - start )) s"
wineserver -k 2>/dev/null || true
exit $status
