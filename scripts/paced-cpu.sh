#!/usr/bin/env bash
# paced-cpu.sh [--runs N] [--build DIR] [--quiet-below LOAD] [--shots DIR]:
# the share of one core the real tarn uses while it sleeps between frames at
# 60 a second, the attract sequence running, in every window mode: full screen on a 1024x768 and a 1920x1080 screen with
# whole steps and with Fill, the Normal window with and without the menu bar,
# the Double window, and a Resizeable window of 1600x1000 (bar shown) with
# whole steps and with Fill.
#
# For each mode and run: a private Xvfb of the screen size the mode needs,
# tarn in a fresh copy of DIR/game (SDL audio driver dummy), the mode set
# with xdotool keys (F4, F8, the Video menu by its letters; the Resizeable
# window sized by xdotool), the window's size checked, the attract sequence
# restarted (key 5) and, once its level shows, 2 s to settle; then utime +
# stime from /proc/PID/stat over 10 s. A screenshot afterwards checks the
# frame is shown at the size the mode and scaling give. Ends with a Markdown
# table: the range over the runs for each mode. --shots keeps each mode's
# screenshot (the window, bar included) in DIR as MODE.png, to look at.
#
#   scripts/paced-cpu.sh                       # 2 runs, the repository's build/
#   scripts/paced-cpu.sh --runs 3 --quiet-below 1.0
#
# --quiet-below waits (at most 10 minutes) until the 1-minute load average
# is below LOAD before it starts. Build first (cmake --build --preset release)
# and run nothing else meanwhile: every process on the machine moves the
# figures. Exits non-zero with a message when a mode cannot be set.
set -euo pipefail
here=$(dirname "$0")

runs=2
build=$here/../build
quiet_below=""
shots=""
usage() {
  echo "usage: paced-cpu.sh [--runs N] [--build DIR] [--quiet-below LOAD] [--shots DIR]" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --quiet-below) quiet_below=$2; shift 2 ;;
    --shots) shots=$(mkdir -p "$2" && realpath "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "paced-cpu: --runs wants a whole number above 0, not $runs" >&2; exit 2; }
[[ $quiet_below =~ ^([0-9]+(\.[0-9]+)?)?$ ]] || { echo "paced-cpu: --quiet-below wants a load such as 1.0, not $quiet_below" >&2; exit 2; }

fail() {
  echo "paced-cpu: FAIL: $*" >&2
  exit 1
}

. "$here/xvfb_lib.sh"
need_tools Xvfb xdotool xwininfo import convert
TARN=$(realpath -m "$build/tarn")
GAME_DIR=$(realpath -m "$build/game")
[ -x "$TARN" ] || fail "$TARN is not an executable"
[ -f "$GAME_DIR/5.lev" ] || fail "$GAME_DIR has no attract level 5.lev"

export SDL_AUDIODRIVER=dummy
make_work tarn-paced

TICKS=$(getconf CLK_TCK)
SETTLE=2
SPAN=10

load1() { cut -d' ' -f1 /proc/loadavg; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# ---- The modes: an id each, in the order they are measured.
MODES=(fs1024 fs1024-fill fs1080 fs1080-fill normal normal-nobar double resize resize-fill)

# Sets SCREEN (the Xvfb screen), LABEL (the table's first column, before the
# shown size) and SCALING (whole or fill) for mode $1.
describe() {
  case $1 in
    fs1024) SCREEN=1024x768 LABEL="full screen 1024x768" SCALING=whole ;;
    fs1024-fill) SCREEN=1024x768 LABEL="full screen 1024x768" SCALING=fill ;;
    fs1080) SCREEN=1920x1080 LABEL="full screen 1920x1080" SCALING=whole ;;
    fs1080-fill) SCREEN=1920x1080 LABEL="full screen 1920x1080" SCALING=fill ;;
    normal) SCREEN=1024x768 LABEL="Normal window, with the menu bar" SCALING=whole ;;
    normal-nobar) SCREEN=1024x768 LABEL="Normal window, without the bar" SCALING=whole ;;
    double) SCREEN=1024x768 LABEL="Double window, with the bar" SCALING=whole ;;
    resize) SCREEN=1920x1080 LABEL="Resizeable 1600x1000, with the bar" SCALING=whole ;;
    resize-fill) SCREEN=1920x1080 LABEL="Resizeable 1600x1000, with the bar" SCALING=fill ;;
  esac
}

keys() {  # keys KEY...: one at a time, as a player types them
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}
# The Video menu by its letters; in full screen F8 shows the bar for it first.
video_menu() { keys alt+v "$@"; }
fill_scaling() { video_menu c f; }

# Puts tarn (started full screen, bar hidden) in mode $1 and checks the
# window's size. Sets BAR, the menu bar's rows above the frame (0 when hidden).
set_mode() {
  BAR=0
  case $1 in
    fs1024 | fs1080)
      expect_size "$SCREEN" "full screen"
      ;;
    fs1024-fill | fs1080-fill)
      keys F8
      fill_scaling
      keys F8
      expect_size "$SCREEN" "full screen, Fill"
      ;;
    *)
      window_with_bar
      case $1 in
        normal-nobar)
          keys F8
          BAR=0
          expect_size 320x200 "F8"
          ;;
        double)
          video_menu s d
          expect_size "640x$((400 + BAR))" "Video > Window Size > Double"
          ;;
        resize | resize-fill)
          video_menu s r
          xdotool windowmove "$win" 0 0
          xdotool windowsize "$win" 1600 1000
          expect_size 1600x1000 "Video > Window Size > Resizeable, sized by xdotool"
          [ "$1" = resize ] || fill_scaling
          ;;
      esac
      ;;
  esac
}

# What the frame's area of WxH shows under SCALING: whole steps the largest
# whole multiple of 320x200, Fill the largest 16:10 rectangle, centred.
# True when TRIM ("WxH+X+Y") is it: whole steps exactly, Fill within a pixel
# (rounding), the place within a pixel of the centre.
shown_ok() {  # shown_ok AREA_W AREA_H SCALING TRIM
  awk -v aw="$1" -v ah="$2" -v scaling="$3" -v trim="$4" 'BEGIN {
    split(trim, t, /[x+]/)
    if (scaling == "whole") {
      k = int(aw / 320); if (int(ah / 200) < k) k = int(ah / 200)
      w = 320 * k; h = 200 * k
    } else if (aw * 10 >= ah * 16) { h = ah; w = int(ah * 16 / 10) }
    else { w = aw; h = int(aw * 10 / 16) }
    dw = t[1] - w; dh = t[2] - h; dx = t[3] - (aw - t[1]) / 2; dy = t[4] - (ah - t[2]) / 2
    exact = scaling == "whole" ? (dw == 0 && dh == 0) : (dw * dw <= 1 && dh * dh <= 1)
    exit !(exact && dx * dx <= 1 && dy * dy <= 1)
  }'
}

# Checks the frame's shown rectangle in the window below the bar in mode $1;
# sets SHOWN.
# The box around the picture's non-black pixels can come out smaller when an
# edge of the frame is black for a moment: a few tries.
check_shown() {
  local size area_w area_h tries=5
  size=$(window_size)
  area_w=${size%x*}
  area_h=$((${size#*x} - BAR))
  while [ "$tries" -gt 0 ]; do
    import -window "$win" "$WORK/shot.png"
    # A black border first: the box is then taken against black, not
    # against whatever colour the corners have. Its place moves by one.
    SHOWN=$(convert "$WORK/shot.png" -crop "${area_w}x${area_h}+0+$BAR" +repage \
      -bordercolor black -border 1 -format '%@' info: |
      awk -F'[x+]' '{ print $1 "x" $2 "+" $3 - 1 "+" $4 - 1 }')
    if shown_ok "$area_w" "$area_h" "$SCALING" "$SHOWN"; then
      [ -z "$shots" ] || cp "$WORK/shot.png" "$shots/$1.png"
      return 0
    fi
    tries=$((tries - 1))
    sleep 0.3
  done
  fail "$LABEL: the frame shows as $SHOWN in a ${area_w}x${area_h} area, not as $SCALING scaling gives"
}

# utime + stime of tarn, all its threads, in clock ticks: the fields after the
# name in brackets, of which the 12th and 13th.
cpu_ticks() { sed 's/^.*) //' "/proc/$TARN_PID/stat" | awk '{ print $12 + $13 }'; }

stop_pid() {  # stop_pid PID: ends a process this script started
  kill "$1" 2>/dev/null || true
  wait_for 5 eval "! kill -0 $1 2>/dev/null" || kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# Measures mode $1 once: sets SHARE, its share of one core in per cent, and
# SHOWN, the frame's rectangle on the screen.
measure() {
  local id=$1 game=$WORK/game-$1 t0 t1 c0 c1
  describe "$id"
  XVFB_SCREEN=${SCREEN}x24 start_xvfb
  rm -rf "$game"
  cp -r "$GAME_DIR" "$game"
  (cd "$game" && exec "$TARN" >"$WORK/$id.out" 2>"$WORK/$id.err") &
  TARN_PID=$!
  wait_for 30 has_window Tarn || fail "$LABEL: no window named Tarn appeared; stderr: $(head -c 300 "$WORK/$id.err")"
  wait_for 30 stable_window || fail "$LABEL: the window named Tarn did not settle"
  win=$(window_id Tarn)
  timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null || true
  set_mode "$id"
  # The attract sequence from its start, so every mode measures the same
  # frames: its level shows after 2 s of waiting frames, then the title card.
  keys 5
  sleep $((2 + SETTLE))
  tarn_gone && fail "$LABEL: tarn ended; stderr: $(head -c 300 "$WORK/$id.err")"
  c0=$(cpu_ticks)
  t0=$(date +%s%N)
  sleep "$SPAN"
  c1=$(cpu_ticks)
  t1=$(date +%s%N)
  tarn_gone && fail "$LABEL: tarn ended while measured; stderr: $(head -c 300 "$WORK/$id.err")"
  check_shown "$id"
  stop_pid "$TARN_PID"
  TARN_PID=""
  stop_pid "$XVFB_PID"
  XVFB_PID=""
  rm -rf "$game"
  SHARE=$(awk -v c="$((c1 - c0))" -v hz="$TICKS" -v ns="$((t1 - t0))" 'BEGIN { printf "%.1f", 100 * c / hz / (ns / 1e9) }')
}

if [ -n "$quiet_below" ]; then
  waited=0
  while ! below "$(load1)" "$quiet_below" && [ "$waited" -lt 600 ]; do
    sleep 10
    waited=$((waited + 10))
  done
  below "$(load1)" "$quiet_below" || echo "paced-cpu: the load stayed at or above $quiet_below for 10 minutes; measuring anyway"
fi
echo "paced-cpu: load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

# Runs go round all the modes in turn, so that a neighbour's burst spreads
# over the modes instead of falling on one.
declare -A FIGURES ROW
for ((run = 1; run <= runs; run++)); do
  for id in "${MODES[@]}"; do
    measure "$id"
    scaling_name="whole steps"
    [ "$SCALING" = whole ] || scaling_name=Fill
    ROW[$id]="$LABEL ($scaling_name: ${SHOWN%%+*})"
    FIGURES[$id]="${FIGURES[$id]:-} $SHARE"
    echo "paced-cpu: run $run/$runs, ${ROW[$id]}: $SHARE %"
  done
done
echo "paced-cpu: load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "| window mode | share of one core |"
echo "|---|---|"
for id in "${MODES[@]}"; do
  echo "| ${ROW[$id]} | $(echo "${FIGURES[$id]}" | tr ' ' '\n' | grep . | sort -n | awk '
    NR == 1 { low = $1 } { high = $1 }
    END { if (low == high) print low " %"; else print low " – " high " %" }') |"
done
