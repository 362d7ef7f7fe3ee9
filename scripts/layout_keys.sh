#!/usr/bin/env bash
# layout_keys.sh TARN TARN_RUN GAME_DIR: the real tarn under a private Xvfb
# whose keymap xmodmap changes as a player's layout would: letters go by
# their label, the digit row by its place, and a layout change acts at once.
# In one run, with labels as on AZERTY (A/Q and Z/W swapped, no digit on the
# digit row) it types the labels 6 (its "-"), E, S, S, S and Z; then the
# keymap turns QWERTZ (Z/Y swapped) and it types S and Z, paints a cell and
# saves (0, Down, Enter). The saved level must be the one tarn-run saves
# after the keys of those names: the painted tile is 3, and no row's speed
# or loop moved (what the keys at the places of Z would have done).
# Exits non-zero with a message on the first failure.
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: layout_keys.sh TARN TARN_RUN GAME_DIR" >&2
  exit 2
fi
TARN=$(realpath "$1")
TARN_RUN=$(realpath "$2")
GAME_DIR=$(realpath "$3")

fail() {
  echo "layout_keys: FAIL: $*" >&2
  exit 1
}

. "$(dirname "$0")/xvfb_lib.sh"
need_tools Xvfb xdotool xwininfo xmodmap cmp
[ -x "$TARN" ] || fail "$TARN is not an executable"
[ -x "$TARN_RUN" ] || fail "$TARN_RUN is not an executable"
[ -f "$GAME_DIR/1.lev" ] || fail "$GAME_DIR has no 1.lev"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

make_work tarn-layouts

# ---- What the keys must do, by their names in the key table: tarn-run on a
# copy of the game folder. The pointer rests on frame pixel (100, 100).
cp -r "$GAME_DIR" "$WORK/expected"
cp -r "$GAME_DIR" "$WORK/game"
cat >"$WORK/keys.txt" <<'EOF'
1 mouse 100 100
2 key 6 tap
4 key E tap
6 key S tap
8 key S tap
10 key S tap
12 key Z tap
14 key S tap
16 key Z tap
18 button left down
19 button left up
21 key 0 tap
23 key Down tap
25 key Enter tap
EOF
"$TARN_RUN" --game "$WORK/expected" --frames 30 --input "$WORK/keys.txt" >/dev/null 2>"$WORK/run.err" ||
  fail "tarn-run failed: $(head -c 400 "$WORK/run.err")"
cmp -s "$GAME_DIR/1.lev" "$WORK/expected/1.lev" && fail "tarn-run's session left 1.lev as it was"

# ---- A private X server that keeps its keymap between clients (-noreset:
# otherwise it drops xmodmap's change when its last client leaves).
start_xvfb -noreset

# The evdev key codes of a PC keyboard: 10-19 the digit row, 20 the key
# right of it, 24-29 Q W E R T Y, 38 A, 48 the key left of Enter, 52 Z.
AZERTY="keycode 24 = a A
keycode 38 = q Q
keycode 25 = z Z
keycode 52 = w W
keycode 10 = ampersand 1
keycode 11 = eacute 2
keycode 12 = quotedbl 3
keycode 13 = apostrophe 4
keycode 14 = parenleft 5
keycode 15 = minus 6
keycode 16 = egrave 7
keycode 17 = underscore 8
keycode 18 = ccedilla 9
keycode 19 = agrave 0
keycode 20 = parenright degree
keycode 48 = ugrave percent"
QWERTZ="keycode 24 = q Q
keycode 38 = a A
keycode 25 = w W
keycode 52 = y Y
keycode 29 = z Z
keycode 10 = 1 exclam
keycode 11 = 2 quotedbl
keycode 12 = 3 section
keycode 13 = 4 dollar
keycode 14 = 5 percent
keycode 15 = 6 ampersand
keycode 16 = 7 slash
keycode 17 = 8 parenleft
keycode 18 = 9 parenright
keycode 19 = 0 equal
keycode 20 = ssharp question
keycode 48 = adiaeresis Adiaeresis"
# Sets the keymap and waits until the X server answers with it.
layout() {
  echo "$2" | xmodmap - || fail "xmodmap could not set $1"
  # Read whole: grep -q would end xmodmap early, and pipefail count that.
  xmodmap -pke >"$WORK/keymap" && grep -q "^keycode  $3 = $4 " "$WORK/keymap" || fail "the keymap did not turn $1"
  sleep 0.5
  echo "layout_keys: keymap $1"
}
layout AZERTY "$AZERTY" 24 a

(cd "$WORK/game" && exec "$TARN" >"$WORK/tarn.out" 2>"$WORK/tarn.err") &
TARN_PID=$!
wait_for 30 stable_window || fail "no settled window named Tarn; stderr: $(head -c 400 "$WORK/tarn.err")"
win=$(window_id Tarn)
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null

# A window: the 320x200 frame below the menu bar; the pointer on (100, 100).
window_with_bar
xdotool mousemove --window "$win" 100 $((100 + BAR))

# Keys by their labels, each in a frame of its own.
type_labels() {
  for label in "$@"; do
    xdotool key "$label"
    sleep 0.35
  done
}
type_labels minus e s s s z
layout QWERTZ "$QWERTZ" 29 z
type_labels s z
xdotool click 1
sleep 0.25
type_labels 0 Down Return
sleep 0.5
tarn_gone && fail "tarn ended early; stderr: $(head -c 400 "$WORK/tarn.err")"
xdotool key Escape
wait_for 10 tarn_gone || fail "tarn still running after Esc"
wait "$TARN_PID"
rc=$?
TARN_PID=""
[ "$rc" -eq 0 ] || fail "exit code $rc after Esc, want 0"

cmp -s "$GAME_DIR/1.lev" "$WORK/game/1.lev" && fail "nothing was saved (the digit row's 6 or 0, or E, went astray)"
cmp -s "$WORK/expected/1.lev" "$WORK/game/1.lev" ||
  fail "the saved level differs from the one the named keys give ($(cmp "$WORK/expected/1.lev" "$WORK/game/1.lev" | head -1))"
echo "layout_keys: AZERTY and QWERTZ labels give the keys they name; the level saved is the expected one"
echo "layout_keys: PASS"
