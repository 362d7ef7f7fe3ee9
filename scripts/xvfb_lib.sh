# xvfb_lib.sh: sourced by the scripts that run the real tarn under a private
# Xvfb (smoke.sh, layout_keys.sh, paced-cpu.sh, windows-test.sh), which define
# fail first.

XVFB_PID=""
TARN_PID=""

# need_tools TOOL...: fails naming the first tool the machine lacks.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "missing tool $tool (scripts/deps.sh installs it)"
  done
}

# make_work NAME: WORK, a fresh folder removed at exit with the processes this
# script started.
make_work() {
  WORK=$(mktemp -d "/tmp/$1.XXXXXX")
  trap cleanup EXIT
}
cleanup() {
  # Callers may run under set -e; a process already gone is no failure here.
  set +e
  # Only the processes this script started, by their ids.
  [ -n "$TARN_PID" ] && kill "$TARN_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "$TARN_PID" ] && wait "$TARN_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}

# wait_for SECONDS COMMAND...: polls the command every 0.1 s.
wait_for() {
  local tries=$(($1 * 10))
  shift
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# start_xvfb [XVFB-OPTION...]: a private X server as DISPLAY, its screen
# XVFB_SCREEN (1024x768x24 when unset); -displayfd lets it pick a free
# display itself.
start_xvfb() {
  # A second server's file must not be read before the server truncates it.
  rm -f "$WORK/display"
  Xvfb -displayfd 3 "$@" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.err" &
  XVFB_PID=$!
  wait_for 5 test -s "$WORK/display" || fail "Xvfb did not start: $(tail -n 3 "$WORK/xvfb.err")"
  export DISPLAY=":$(head -n 1 "$WORK/display")"
  wait_for 5 xwininfo -root >/dev/null 2>&1 || fail "X server $DISPLAY does not answer"
}

# Id of the top-level window whose name is exactly $1 (empty when none).
# xwininfo rather than xdotool: xdotool misses names stored as UTF8_STRING.
window_id() {
  xwininfo -root -children 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) { print $1; exit }'
}
has_window() { [ -n "$(window_id "$1")" ]; }
# The display set-up replaces the first window with one for its renderer,
# after start-up has loaded the sounds: take the id once it holds for a second.
stable_window() {
  local first
  first=$(window_id Tarn)
  sleep 1
  [ -n "$first" ] && [ "$first" = "$(window_id Tarn)" ]
}
tarn_gone() { ! kill -0 "$TARN_PID" 2>/dev/null; }

# Width and height of tarn's window $win; without a window manager that is
# the window's inside: the menu bar and the frame's area below it.
window_size() { xwininfo -id "$win" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
size_is() { [ "$(window_size)" = "$1" ]; }
# expect_size WxH WHAT: waits for the window to reach the size; fails with WHAT.
expect_size() {
  wait_for 10 size_is "$1" || fail "$2: the window is $(window_size), want $1"
}
window_320_wide() { [ "$(window_size | cut -dx -f1)" = 320 ]; }
# F4 from full screen: a window of the 320x200 frame below the menu bar, as
# tall as the bar draws. Sets BAR, its rows.
window_with_bar() {
  xdotool key F4
  wait_for 10 window_320_wide || fail "after F4 the window is $(window_size), want 320 wide"
  sleep 0.3
  BAR=$(($(window_size | cut -dx -f2) - 200))
  if [ "$BAR" -lt 10 ] || [ "$BAR" -gt 40 ]; then
    fail "after F4 the window is $(window_size): no menu bar above 320x200"
  fi
}
