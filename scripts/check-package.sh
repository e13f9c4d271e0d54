#!/bin/sh
# Builds the Debian package (make package), installs it on this machine with apt-get, checks
# the programs from where the package put them (/usr/bin, /usr/share/...), and removes the
# package again. Prints one PASS or FAIL line per check; the exit code is 0 only when all pass.
# Not part of make test: it installs into /usr, so it needs root (or sudo), and it starts the
# window on a virtual display (xvfb-run), driven with xdotool.
set -u
cd "$(dirname "$0")/.."
REL=${REL:-build-release}

if [ "${1:-}" = --in-display ]; then
  mode=window
else
  mode=main
fi

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The part that runs on the virtual display: $2 is the scratch folder prepared below.
if [ "$mode" = window ]; then
  work=$2
  # The desktop's opener is pointed at a recorder, so Help's choice of page can be read back.
  mkdir -p "$work/config" "$work/data/applications"
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" > "%s/opened"\n' "$work" > "$work/record"
  chmod +x "$work/record"
  printf '[Desktop Entry]\nType=Application\nName=Recorder\nExec=%s/record %%f\nMimeType=text/html;\n' \
    "$work" > "$work/data/applications/recorder.desktop"
  printf '[Default Applications]\ntext/html=recorder.desktop\n' > "$work/config/mimeapps.list"
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" BREVOK_REGISTRY="$work/registry.reg"

  # write_settings [LINES]: settings as a user would have left them, brcc32 chosen as the
  # compiler (the program asks for it on its first start), plus LINES.
  write_settings() {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halvane\\BrevComp]\n"Install"="%s"\n' "$work" > "$BREVOK_REGISTRY"
    printf '"Compiler"="/usr/bin/brcc32"\n"SP"="0"\n%s\n' "${1:-}" >> "$BREVOK_REGISTRY"
  }
  # start_window COMMAND...: starts brevok and waits for its window (in $window, pid in $pid).
  start_window() {
    echo "starting: $*"
    "$@" > "$work/brevok.log" 2>&1 &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "Brevok Resource Compiler" 2>/dev/null | head -n 1)
    if [ -z "$window" ]; then
      fail "brevok shows no window within 30 s (log: $(cat "$work/brevok.log"))"
      kill "$pid" 2>/dev/null
      exit "$failures"
    fi
    xdotool windowfocus --sync "$window"
    sleep 0.5
  }
  stop_window() {
    import -window root "$work/window.png" 2>/dev/null
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  }
  # wait_for TEST...: up to 20 s for TEST to hold.
  wait_for() {
    for i in $(seq 1 100); do "$@" && return 0; sleep 0.2; done
    return 1
  }
  has_strings() { llvm-readobj --coff-resources "$work/bound.exe" 2>/dev/null | grep -q 'Type: STRINGTABLE'; }

  # First as a file manager starts it on app.rc: the desktop entry's command, %f the file.
  write_settings
  rm -f "$work/app.res"
  start_window $(sed -n 's/^Exec=//p' /usr/share/applications/brevok.desktop | sed "s|%f|$work/app.rc|")
  pass "brevok shows its window: $(xdotool getwindowname "$window")"
  case "$(xdotool getwindowname "$window")" in
    *"Version $3 "*) pass "the caption shows the file version $3 from the installed program's own resource" ;;
    *) fail "the caption does not show version $3" ;;
  esac
  xdotool key alt+h h  # Help > Help
  wait_for test -s "$work/opened"
  opened=$(cat "$work/opened" 2>/dev/null)
  if [ -f "$opened" ] && [ "$(realpath "$opened")" = /usr/share/brevok/brevhelp.html ]; then
    pass "Help opens the installed page $opened"
  else
    fail "Help opened '$opened', not /usr/share/brevok/brevhelp.html"
  fi
  xdotool key alt+a c  # Actions > Compile
  if wait_for test -s "$work/app.res"; then
    pass "Compile in the window compiled app.rc, opened through the desktop entry's command"
  else
    fail "Compile in the window wrote no app.res (picture: $work/window.png)"
  fi
  stop_window

  # Then on the script and executable of the last run: Build All runs brevdos and brc32, which
  # the program finds in its own folder.
  write_settings "\".RC\"=\"$work/app.rc\"
\".EXE\"=\"$work/bound.exe\"
\"Last\"=\"1\""
  cp "$work/plain.exe" "$work/bound.exe"
  start_window /usr/bin/brevok
  xdotool key alt+a b  # Actions > Build All
  if wait_for has_strings; then
    pass "Build All in the window found brevdos and brc32 beside /usr/bin/brevok and bound app.rc"
  else
    fail "Build All in the window bound nothing into $work/bound.exe (picture: $work/window.png)"
  fi
  stop_window
  exit "$failures"
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

echo "== make package"
make package || { echo "FAIL: make package"; exit 1; }
deb=$(ls -t "$REL"/brevok_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package in $REL"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends
dpkg-deb -f "$deb" Depends | grep -Eq '(^|[ ,|])(llvm|clang)' &&
  fail "the package depends on LLVM or clang: $(dpkg-deb -f "$deb" Depends)" ||
  pass "the package needs neither llvm nor clang"
dpkg-deb -c "$deb" | grep -q './usr/share/brevok/include/windows.h' &&
  pass "the package carries the headers scripts include" || fail "no include/windows.h in the package"

echo "== apt-get install ./$deb"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" > /dev/null ||
  { echo "FAIL: apt-get install ./$deb"; exit 1; }
pass "apt-get installed $deb with its dependencies"

work=$(mktemp -d)
cleanup() {
  echo "== apt-get remove brevok"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq brevok > /dev/null &&
    [ ! -e /usr/bin/brevok ] && echo "removed" || echo "FAIL: apt-get remove brevok"
  rm -rf "$work"
}
trap cleanup EXIT

echo "== installed programs"
for p in brevok brcc32 brc32 brevdos; do
  if dpkg -L brevok | grep -qx "/usr/bin/$p" && [ -x "/usr/bin/$p" ]; then
    pass "/usr/bin/$p installed"
  else
    fail "/usr/bin/$p missing"
  fi
done
if dpkg -L brevok | grep -qx /usr/bin/brcc32-windres && [ "$(readlink /usr/bin/brcc32-windres)" = brcc32 ]; then
  pass "/usr/bin/brcc32-windres links to brcc32"
else
  fail "/usr/bin/brcc32-windres missing or no link to brcc32"
fi
line=$(/usr/bin/brc32 --version | head -n 1)
[ "$line" = "brc32 (Brevok Resource Compiler) $version" ] && pass "brc32 --version: $line" || fail "brc32 --version: $line"
env -u DISPLAY /usr/bin/brevok --help | head -n 1 | grep -q '^usage: brevok ' &&
  pass "brevok --help answers without a display" || fail "brevok --help"
objdump -h /usr/bin/brevok | grep -q ' \.rsrc ' &&
  pass "the stripped brevok keeps its version resource (.rsrc)" || fail "no .rsrc section in /usr/bin/brevok"

echo "== compiling and binding with the installed tools"
cp resources/brevok.ico "$work/brevok.ico"
printf '#define GREETING "hello from an installed brcc32"\nMAINICON ICON "brevok.ico"\nSTRINGTABLE\nBEGIN\n  1, GREETING\nEND\n' > "$work/app.rc"
printf 'int entry(void) { return 0; }\n' > "$work/entry.c"
(cd "$work" && /usr/bin/brcc32 app.rc > brcc32.out 2>&1)
status=$?
if [ $status -eq 0 ] && [ -s "$work/app.res" ]; then
  pass "brcc32 compiled a script with #define and a string table into app.res"
else
  fail "brcc32 app.rc: exit $status: $(cat "$work/brcc32.out")"
fi
# A real Visual Studio script (windows.h from the installed headers, dialogs, menus, version
# block), compiled with nothing of LLVM on PATH.
cp -r tests/rcdriver/corpus/wcs-dxva2-hd "$work/corpus"
(cd "$work/corpus" && env -u BREVOK_LLVM_RC PATH=/nonexistent /usr/bin/brcc32 DXVA2_HD.rc > brcc32.out 2>&1)
status=$?
if [ $status -eq 0 ] && [ -s "$work/corpus/DXVA2_HD.res" ]; then
  pass "brcc32 compiled a Visual Studio script without llvm-rc or clang"
else
  fail "brcc32 DXVA2_HD.rc: exit $status: $(cat "$work/corpus/brcc32.out")"
fi
clang --target=x86_64-pc-windows-msvc -c "$work/entry.c" -o "$work/entry.obj" &&
  lld-link /nologo /nodefaultlib /entry:entry /subsystem:console "$work/entry.obj" /out:"$work/plain.exe" ||
  fail "cannot build a test executable with clang and lld-link"
cp "$work/plain.exe" "$work/tool.exe"
(cd "$work" && /usr/bin/brc32 -fo tool.res -fe tool.exe app.rc > brc32.out 2>&1)
status=$?
if [ $status -eq 0 ] && llvm-readobj --coff-resources "$work/tool.exe" | grep -q 'Type: GROUP_ICON'; then
  pass "brc32 bound the script's icon and strings into a PE executable"
else
  fail "brc32: exit $status: $(cat "$work/brc32.out")"
fi

echo "== desktop integration"
desktop-file-validate /usr/share/applications/brevok.desktop && pass "desktop-file-validate brevok.desktop: no messages" ||
  fail "desktop-file-validate brevok.desktop"
# Read from the database itself: without a desktop session, xdg-mime asks file(1) instead.
grep -q '^50:text/x-rc:\*\.rc$' /usr/share/mime/globs2 && pass "the shared MIME database maps *.rc to text/x-rc" ||
  fail "no *.rc in /usr/share/mime/globs2: dpkg's trigger did not run update-mime-database"
[ "$(xdg-mime query default text/x-rc)" = brevok.desktop ] && pass "text/x-rc opens with brevok.desktop" ||
  fail "xdg-mime query default text/x-rc: $(xdg-mime query default text/x-rc)"
missing=""
for size in 16x16 32x32 48x48 64x64 128x128 256x256 scalable; do
  ls /usr/share/icons/hicolor/$size/apps/brevok.* > /dev/null 2>&1 || missing="$missing $size"
done
[ -z "$missing" ] && pass "the icon is in hicolor at 16 to 256 px and scalable" || fail "icon sizes missing:$missing"
missing=""
for p in brevok brcc32 brc32 brevdos; do
  [ "$(man -w "$p" 2>/dev/null)" = "/usr/share/man/man1/$p.1.gz" ] || missing="$missing $p"
done
[ -z "$missing" ] && pass "man -w finds the four manual pages in /usr/share/man/man1" || fail "manual pages not found:$missing"

echo "== the window, on a virtual display"
xvfb-run -a sh "$0" --in-display "$work" "$version"
failures=$((failures + $?))

echo "== $failures check(s) failed"
[ "$failures" -eq 0 ]
