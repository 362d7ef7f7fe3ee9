#!/usr/bin/env bash
# smoke.sh TARN GAME_DIR: starts the real tarn binary under a private Xvfb and
# checks what a player would see: the marker box outside the game folder, and
# in the game folder a window that draws, a level key, F4 to a 320x200 window
# below the menu bar, Alt+V opening the Video menu, F8 hiding the bar, the
# Double size, Esc to a clean exit, closing the window to a clean exit, and
# GIF recordings started and stopped by F12 and Debug > Toggle FrameDump (in
# a copy of the game folder), with nothing left under the name by a kill.
# Exits non-zero with a message on the first failure.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: smoke.sh TARN GAME_DIR" >&2
  exit 2
fi
TARN=$(realpath "$1")
GAME_DIR=$(realpath "$2")

fail() {
  echo "smoke: FAIL: $*" >&2
  exit 1
}

. "$(dirname "$0")/xvfb_lib.sh"
need_tools Xvfb xdotool xwininfo import identify
[ -x "$TARN" ] || fail "$TARN is not an executable"
[ -f "$GAME_DIR/tarn.cfg" ] || fail "$GAME_DIR has no tarn.cfg"

# CI has no sound card; without a driver tarn stops with its sound error box.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

make_work tarn-smoke

named_windows() {
  xwininfo -root -children 2>/dev/null | awk 'match($0, /"[^"]*":/) { print substr($0, RSTART, RLENGTH) }'
}

# What the screen and tarn showed, for a failure's message: the named
# windows, whether tarn still runs, and the start of its stderr ($1.err).
what_was_seen() {
  local alive="tarn has ended"
  tarn_gone || alive="tarn still runs ($(where_tarn_waits))"
  local server="the X server runs"
  kill -0 "$XVFB_PID" 2>/dev/null || server="the X server has ended"
  echo "windows: $(named_windows | tr '\n' ' ')| $(xwininfo -root -tree 2>/dev/null | grep -c '^ *0x') in all | $server | $alive | stderr: $(head -c 300 "$WORK/$1.err")"
}

# Where each of tarn's threads waits: its name and kernel wait channel, and
# its stack when gdb is at hand. A start-up that never shows a window, seen
# rarely on a loaded machine, can then be told from a slow one.
where_tarn_waits() {
  local task
  for task in /proc/"$TARN_PID"/task/*; do
    printf '%s:%s ' "$(cat "$task/comm" 2>/dev/null)" "$(cat "$task/wchan" 2>/dev/null)"
  done
  if command -v gdb >/dev/null; then
    timeout 30 gdb -p "$TARN_PID" -batch -ex "thread apply all bt 12" 2>/dev/null | grep '^#' >"$WORK/stacks"
    cp "$WORK/stacks" "${TMPDIR:-/tmp}/tarn-smoke-stacks.txt" 2>/dev/null
    printf 'stacks: %s' "$(tr '\n' ';' <"$WORK/stacks" | head -c 2000)"
  fi
}

# Starts tarn in folder $1; its output goes to $WORK/$2.{out,err}.
start_tarn() {
  (cd "$1" && exec "$TARN" >"$WORK/$2.out" 2>"$WORK/$2.err") &
  TARN_PID=$!
}

# Waits at most $1 seconds for tarn to end; its exit code goes to TARN_RC.
finish_tarn() {
  wait_for "$1" tarn_gone || fail "tarn still running after $1 s"
  wait "$TARN_PID"
  TARN_RC=$?
  TARN_PID=""
}

# ---- A private X server.
start_xvfb
echo "smoke: X server on $DISPLAY"

# ---- 1. Outside the game folder only the marker box appears.
mkdir "$WORK/empty"
start_tarn "$WORK/empty" empty
BOX="Data files not found."
BOX_LINE="[box] Data files not found.: Please make sure the game is installed fully and properly, and run it from it's own folder."
if wait_for 8 has_window "$BOX"; then
  others=$(named_windows | grep -vxF "\"$BOX\":" || true)
  [ -z "$others" ] || fail "windows besides the box: $others"
  box=$(window_id "$BOX")
  timeout 5 xdotool windowfocus --sync "$box" 2>/dev/null
  xdotool key Return
else
  echo "smoke: no box window seen; relying on the stderr line"
fi
finish_tarn 10
grep -qxF "$BOX_LINE" "$WORK/empty.err" || fail "no box line on stderr; got: $(head -c 400 "$WORK/empty.err")"
[ "$TARN_RC" -eq 0 ] || fail "exit code $TARN_RC without tarn.cfg, want 0"
echo "smoke: marker box shown, exit code 0"

# ---- 2. In the game folder: a window that draws and obeys its keys.
start_tarn "$GAME_DIR" game
wait_for 30 has_window Tarn || fail "no window named Tarn appeared; $(what_was_seen game)"
wait_for 30 stable_window || fail "the window named Tarn did not settle; $(what_was_seen game)"
tarn_gone && fail "tarn ended early; stderr: $(head -c 400 "$WORK/game.err")"
win=$(window_id Tarn)
[ -n "$win" ] || fail "the window named Tarn went away"
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null

if [ -f "$GAME_DIR/1.lev" ]; then
  xdotool key 6
  sleep 1
  import -window root "$WORK/level.png" || fail "could not take a screenshot"
  colours=$(identify -format '%k' "$WORK/level.png")
  [ "$colours" -gt 1 ] || fail "the screen is blank after key 6 ($colours colour)"
  echo "smoke: level 1 drawn in $colours colours"
fi

window_with_bar
echo "smoke: F4 gives a 320x200 window below a menu bar of $BAR rows"

# Alt+V opens the Video menu: its panel covers the frame under the bar.
menu_pixels() {
  import -window "$win" "$WORK/menu.png" 2>/dev/null &&
    convert "$WORK/menu.png" -crop "150x40+45+$((BAR + 2))" +repage -fill black +opaque "#24142F" \
      -fill white -opaque "#24142F" -format '%[fx:int(mean*w*h)]' info: 2>/dev/null
}
menu_open() { [ "$(menu_pixels)" -gt 500 ]; }
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key alt+v
wait_for 6 menu_open || fail "Alt+V did not open the Video menu"
xdotool key Escape
menu_closed() { [ "$(menu_pixels)" -lt 50 ]; }
wait_for 6 menu_closed || fail "Esc did not close the Video menu"
tarn_gone && fail "the Esc that closed the menu also ended tarn"
echo "smoke: Alt+V opens the Video menu and Esc closes it"

xdotool key F8
expect_size 320x200 "F8"
xdotool key F8
expect_size "320x$((200 + BAR))" "F8 again"
# Video > Window Size > Double, by the menus' letters.
xdotool key alt+v
sleep 0.2
xdotool key s
sleep 0.2
xdotool key d
expect_size "640x$((400 + BAR))" "Video > Window Size > Double"
echo "smoke: F8 hides and shows the bar; Double gives 640x400"

timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key Escape
finish_tarn 10
[ "$TARN_RC" -eq 0 ] || fail "exit code $TARN_RC after Esc, want 0"
echo "smoke: Esc ends tarn with exit code 0"

# ---- 3. Closing the window, as a window manager's close button does it.
if command -v python3 >/dev/null; then
  start_tarn "$GAME_DIR" close
  wait_for 30 has_window Tarn || fail "no window for the close check; $(what_was_seen close)"
  wait_for 30 stable_window || fail "the window for the close check did not settle; $(what_was_seen close)"
  win=$(window_id Tarn)
  timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
  sleep 0.5
  xdotool key F4
  wait_for 10 window_320_wide || fail "no window after F4 in the close check"
  python3 "$(dirname "$0")/close_window.py" "$win" || fail "could not ask the window to close"
  finish_tarn 10
  [ "$TARN_RC" -eq 0 ] || fail "exit code $TARN_RC after closing the window, want 0"
  echo "smoke: closing the window ends tarn with exit code 0"
else
  echo "smoke: no python3; the close check is skipped"
fi
# ---- 4. Recordings, in a copy of the folder so the demo folder stays as it is.
cp -r "$GAME_DIR" "$WORK/rec"
start_tarn "$WORK/rec" rec
wait_for 30 has_window Tarn || fail "no window for the recording check; $(what_was_seen rec)"
wait_for 30 stable_window || fail "the window for the recording check did not settle; $(what_was_seen rec)"
win=$(window_id Tarn)
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
# A recording of a second or so: its title, then a GIF identify reads.
record_and_check() {  # record_and_check FILE START-KEYS...
  local file=$1
  shift
  "$@"
  wait_for 10 has_window "Tarn - recording $file" || fail "no title for recording $file"
  sleep 1.5
  "$@"
  wait_for 10 has_window Tarn || fail "the title did not come back after $file"
  wait_for 10 test -f "$WORK/rec/$file" || fail "no $file after the recording stopped"
  # Repeated frames merge, and a loaded machine draws fewer frames in the
  # wait: any length read back will do.
  frames=$(identify "$WORK/rec/$file" 2>/dev/null | wc -l)
  length=$(identify -format '%T+' "$WORK/rec/$file" 2>/dev/null)
  length=$((${length}0))
  [ "$frames" -ge 1 ] && [ "$length" -ge 3 ] || fail "identify reads $frames frames, $length/100 s, of $file"
  echo "smoke: $file recorded by $*: $frames frames, $length/100 s"
}
record_and_check REC00000.GIF xdotool key F12
xdotool key F4
wait_for 10 window_320_wide || fail "no window after F4 in the recording check"
debug_frame_dump() { xdotool key alt+d && sleep 0.3 && xdotool key f; }
record_and_check REC00001.GIF debug_frame_dump
# Killed while recording: nothing at all under the recording's name.
xdotool key F12
wait_for 10 has_window "Tarn - recording REC00002.GIF" || fail "no third recording"
sleep 1
kill -9 "$TARN_PID"
wait "$TARN_PID" 2>/dev/null
TARN_PID=""
[ ! -e "$WORK/rec/REC00002.GIF" ] || fail "a killed recording left REC00002.GIF"
echo "smoke: a recording killed midway leaves no REC00002.GIF"
echo "smoke: PASS"
