# What the scripts that drive Windows windows under Wine and Xvfb share (sourced): Windows
# paths, waiting for a window and giving it the keyboard, keys, failing with a picture.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# The start of a window test, called with the test's arguments BREVOK_EXE BRCC32_EXE READER_EXE
# LINKED_READER_EXE: runs the test again under xvfb-run when no display is set, then names
# them ($brevok, $brcc32, $reader, $linked) and the test data ($data, $icon).
window_test_start() {
  if [ -z "${BREVOK_TEST_DISPLAY:-}" ]; then
    BREVOK_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
  fi
  brevok=$(realpath "$1")
  brcc32=$(realpath "$2")
  reader=$(realpath "$3")
  linked=$(realpath "$4")
  data=$(dirname "$(realpath "$0")")/data
  icon=$(dirname "$(realpath "$0")")/../../../resources/brevok.ico
  export WINEDEBUG=-all
}
# On a failure the screen is saved to $BREVOK_TEST_SCREEN when that is set.
fail() {
  printf 'FAIL: %s\n' "$*"
  [ -z "${BREVOK_TEST_SCREEN:-}" ] || import -window root "$BREVOK_TEST_SCREEN" 2>/dev/null || true
  exit 1
}
# Waits for a window whose title is exactly $1 and gives it the keyboard. There is no window
# manager: the focus is given directly, and again until the window really has it (a window that
# is still being made, or one of the same name going away, can refuse it).
await() {
  echo "waiting for \"$1\""
  tries=0
  while :; do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      xdotool windowfocus --sync "$id" 2>/dev/null || continue
      [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ] && { sleep 0.3; return 0; }
    done
    tries=$((tries + 1)); [ $tries -lt 300 ] || fail "no window \"$1\" with the keyboard"; sleep 0.2
  done
}
keys() { xdotool key --delay 150 "$@"; sleep 0.3; }
typed() { xdotool type --delay 20 "$1"; sleep 0.2; }
# Runs the command after $1 every 0.2 s until it succeeds; fails with $1 after a minute.
until_true() {
  why=$1; shift
  tries=0
  until "$@"; do
    tries=$((tries + 1)); [ $tries -lt 300 ] || fail "$why"; sleep 0.2
  done
}
closed() { ! xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; }
gone() { until_true "\"$1\" stays open" closed "$1"; }
