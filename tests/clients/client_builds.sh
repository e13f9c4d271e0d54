#!/bin/sh
# The client program of this folder built as users build it, each build held against the same
# program built with GNU windres, by the listing the program prints of its own resources under
# Wine:
#   client_builds.sh BIN SCRATCH
# BIN holds brcc32 and brcc32-windres; SCRATCH, emptied first, takes the builds.
#   1. CMake, Ninja, mingw-w64 gcc, CMAKE_RC_COMPILER=brcc32-windres (CMake's windres rule);
#   2. CMake, Ninja, clang for x86_64-pc-windows-msvc and lld-link with no C runtime,
#      CMAKE_RC_COMPILER=brcc32 (CMake's rc.exe rule, a .res);
#   3. Meson, Ninja, mingw-w64 gcc, windres = brcc32-windres in the cross file.
# After each brcc32 build the icon is touched and Ninja must compile the resources again.
set -eu
here=$(dirname "$(realpath "$0")")
bin=$(realpath "$1")
rm -rf "$2"
mkdir -p "$2"
scratch=$(realpath "$2")
. "$here/../../scripts/wine-env.sh" "$scratch"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The sources are copied, so that touching the icon leaves the source tree alone.
src="$scratch/src"
mkdir -p "$src"
cp -r "$here/app.rc" "$here/main.c" "$here/include" "$here/app.ico" "$here/doc.ico" "$here/payload.bin" \
      "$here/CMakeLists.txt" "$here/meson.build" "$src"
mingw="$here/mingw-w64.cmake"

quietly() {  # NAME COMMAND...: runs COMMAND with its output in SCRATCH/NAME.log, shown on failure
  log="$scratch/$1.log"
  shift
  "$@" > "$log" 2>&1 || fail "$* failed:
$(tail -n 30 "$log")"
}
listing() { wine "$1" 2> /dev/null | tr -d '\r'; }
# rebuilt DIR PATTERN: touches the icon; Ninja in DIR must run the resource compiler again (a
# command line that matches PATTERN) and then find nothing to do.
rebuilt() {
  touch "$src/doc.ico"
  ninja -C "$1" -v > "$scratch/touch.log" 2>&1 || fail "ninja in $1 after touching doc.ico: $(cat "$scratch/touch.log")"
  if grep -q -- "$2" "$scratch/touch.log"; then
    [ "$(ninja -C "$1" -n | tail -n 1)" = "ninja: no work to do." ] || fail "$1 is still out of date"
    echo "the icon touched, rebuilt"
  else
    echo "the icon touched, NOT rebuilt"
  fi
}
# report WHAT LISTING REBUILT: one line per build.
result=0
report() {
  if [ "$2" = "$reference" ]; then same="listings match"; else same="listings DIFFER"; result=1; fi
  case $3 in *NOT*) result=1 ;; esac
  echo "$1: $same; $3"
  [ "$2" = "$reference" ] || diff "$scratch/reference.txt" - <<LISTING || true
$2
LISTING
}

# The reference: the windres rule of CMake with GNU windres.
quietly windres-configure cmake -S "$src" -B "$scratch/windres" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$mingw" \
  -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres
quietly windres-build ninja -C "$scratch/windres"
reference=$(listing "$scratch/windres/client.exe")
printf '%s\n' "$reference" > "$scratch/reference.txt"
# What the listing must show, or a build without the resources would match it.
for line in '#3 #1 0409: 1128 bytes' '#3 #2 0409: 4264 bytes' '#6 #63 0407: ' '#6 #63 0409: ' \
    '#10 INLINE_DATA 0409: 13 bytes' '#10 #201 0409: 28 bytes' '#14 #101 0409: 20 bytes' \
    '#14 #102 0409: 20 bytes' '#16 #1 0409: ' '  file version 3.1.4.15' \
    'string 1001: Hello from the client build' 'string 1002: Goodbye, "quoted" world' 'icon 102 loads'; do
  printf '%s\n' "$reference" | grep -qF -- "$line" || fail "the windres-built program does not list '$line':
$reference"
done

# 1. CMake's windres rule with brcc32-windres.
quietly cmake-windres-configure cmake -S "$src" -B "$scratch/cmake-windres" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$mingw" -DCMAKE_RC_COMPILER="$bin/brcc32-windres"
quietly cmake-windres-build ninja -C "$scratch/cmake-windres" -v
grep '^\[.*brcc32-windres' "$scratch/cmake-windres-build.log" | sed 's/^\[[0-9/]*\] /  ran: /'
report "CMake + Ninja + mingw-w64 gcc + brcc32-windres (-O coff object)" \
  "$(listing "$scratch/cmake-windres/client.exe")" "$(rebuilt "$scratch/cmake-windres" brcc32-windres)"

# 2. CMake's rc.exe rule with brcc32; clang and lld-link, no C runtime. The import libraries are
# mingw-w64's under the names lld-link looks for.
mkdir -p "$scratch/libs"
ln -s /usr/x86_64-w64-mingw32/lib/libkernel32.a "$scratch/libs/kernel32.lib"
ln -s /usr/x86_64-w64-mingw32/lib/libuser32.a "$scratch/libs/user32.lib"
quietly cmake-rc-configure cmake -S "$src" -B "$scratch/cmake-rc" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/clang-msvc.cmake" -DBREVOK_CLIENT_LIBS="$scratch/libs" -DCMAKE_RC_COMPILER="$bin/brcc32"
quietly cmake-rc-build ninja -C "$scratch/cmake-rc" -v
grep "^\\[.*$bin/brcc32 " "$scratch/cmake-rc-build.log" | sed 's/^\[[0-9/]*\] /  ran: /'
grep -q '/fo CMakeFiles/client.dir/app.rc.res' "$scratch/cmake-rc-build.log" || fail "CMake did not use its rc.exe rule"
report "CMake + Ninja + clang/lld-link without a C runtime + brcc32 (rc.exe rule, .res)" \
  "$(listing "$scratch/cmake-rc/client.exe")" "$(rebuilt "$scratch/cmake-rc" "$bin/brcc32 ")"

# 3. Meson with brcc32-windres as the cross file's windres.
cross() {
  cat > "$scratch/$1.ini" <<INI
[binaries]
c = 'x86_64-w64-mingw32-gcc'
windres = '$2'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
INI
}
cross meson-windres x86_64-w64-mingw32-windres
cross meson-brcc32 "$bin/brcc32-windres"
quietly meson-windres-setup meson setup --cross-file "$scratch/meson-windres.ini" "$scratch/meson-windres" "$src"
quietly meson-windres-build ninja -C "$scratch/meson-windres"
[ "$(listing "$scratch/meson-windres/client.exe")" = "$reference" ] ||
  fail "Meson's windres build lists otherwise than CMake's: $(listing "$scratch/meson-windres/client.exe")"
quietly meson-brcc32-setup meson setup --cross-file "$scratch/meson-brcc32.ini" "$scratch/meson-brcc32" "$src"
quietly meson-brcc32-build ninja -C "$scratch/meson-brcc32" -v
grep '^\[.*brcc32-windres' "$scratch/meson-brcc32-build.log" | sed 's/^\[[0-9/]*\] /  ran: /'
report "Meson + Ninja + mingw-w64 gcc + brcc32-windres (windows.compile_resources)" \
  "$(listing "$scratch/meson-brcc32/client.exe")" "$(rebuilt "$scratch/meson-brcc32" brcc32-windres)"
exit $result
