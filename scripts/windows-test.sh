#!/usr/bin/env bash
# windows-test.sh BUILD_DIR: the Windows build under Wine. The unit and
# end-to-end tests (tarn-tests.exe); tarn-run.exe's exit codes, state line and
# shots against the native tarn-run's; tarn-tiled.exe's maps, sheets, levels
# and tile sets against the native tarn-tiled's, when it was built; then
# tarn.exe in a window under Xvfb:
# the window appears, F4 gives 320x200 below the menu bar, the screen shows
# the card's colours, Debug > Screen Shot writes SH000000.PCX and F12
# REC00000.GIF into the game folder, and Esc after an edit ends it with exit
# code 0 and the edit in 1.lev.unsaved there. Exits non-zero on the first
# failure; says how long each part took.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath "$1")"
native="$root/build"
fail() {
  echo "windows-test: FAIL: $*" >&2
  exit 1
}
say() { echo "windows-test: $*"; }
# took WHAT: how long since the last call, for the CI log.
part_start=$SECONDS
took() {
  say "$1: $((SECONDS - part_start)) s"
  part_start=$SECONDS
}

# Wine keeps its own folder inside the build tree, never ~/.wine; no Mono or
# Gecko prompts, no debug chatter.
export WINEPREFIX="$out/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_run() { env -u DISPLAY wine "$@"; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "making the Wine prefix in $WINEPREFIX"
  wine_run wineboot -i >/dev/null 2>&1 || fail "wineboot could not make $WINEPREFIX"
  # Its set-up goes on after wineboot returns (the registry is written when
  # the Wine server ends); a program started meanwhile may fail to start.
  wineserver -w
  took "the Wine prefix"
fi

. "$(dirname "$0")/xvfb_lib.sh"
make_work tarn-windows-test

# ---- 1. The unit and end-to-end tests.
# TARN_WINDOWS_TESTS picks a gtest filter (CI runs a subset); all by default.
if [ -f "$out/tests/tarn-tests.exe" ]; then
  say "tarn-tests.exe ${TARN_WINDOWS_TESTS:+--gtest_filter=$TARN_WINDOWS_TESTS}"
  (cd "$out/tests" && wine_run ./tarn-tests.exe --gtest_brief=1 ${TARN_WINDOWS_TESTS:+--gtest_filter=$TARN_WINDOWS_TESTS}) ||
    fail "tarn-tests.exe"
  took "tarn-tests.exe"
fi

# ---- 2. tarn-run.exe: the native tarn-run's codes, state line and frames.
cp -r "$out/game" "$WORK/win" && cp -r "$out/game" "$WORK/linux" && mkdir "$WORK/empty"
# Attract mode, then a level with the player moving, written with CR LF as a
# Windows editor would.
printf '1 shot s1.pcx\r\n90 shot s2.pcx\r\n200 key 6 tap\r\n260 key Right down\r\n330 shot s3.pcx\r\n' >"$WORK/script.txt"
run_args=(--frames 400 --input "$WORK/script.txt" --shot 400:s4.pcx)
# Shots named without a folder land in the folder each run starts in.
(cd "$WORK/win" && wine_run "$out/tarn-run.exe" --game . "${run_args[@]}") >"$WORK/win.out" 2>"$WORK/win.err" ||
  fail "tarn-run.exe ended with $?: $(head -c 400 "$WORK/win.err")"
(cd "$WORK/linux" && "$native/tarn-run" --game . "${run_args[@]}") >"$WORK/linux.out" 2>"$WORK/linux.err" ||
  fail "the native tarn-run ended with $?"
tr -d '\r' <"$WORK/win.out" | cmp -s - "$WORK/linux.out" ||
  fail "state lines differ: $(cat "$WORK/win.out") / $(cat "$WORK/linux.out")"
for shot in s1 s2 s3 s4; do
  cmp -s "$WORK/win/$shot.pcx" "$WORK/linux/$shot.pcx" || fail "$shot.pcx differs from the native one"
done
say "tarn-run.exe: the same state line and four shots as the native tarn-run"
code_of() { wine_run "$out/tarn-run.exe" "$@" >/dev/null 2>&1; echo $?; }
[ "$(code_of --game "$WORK/empty" --frames 5)" = 3 ] || fail "tarn-run.exe outside a game folder: want code 3"
[ "$(code_of --game "$WORK/win" --frames 0)" = 2 ] || fail "tarn-run.exe --frames 0: want code 2"
say "tarn-run.exe: exit codes 3 (no game folder) and 2 (usage)"

took "tarn-run.exe"

# ---- 3. tarn-tiled.exe: the native tarn-tiled's bytes, out and back.
# Both are built from the same code against the same Debian versions of
# libpng, zlib, pugixml, nlohmann-json and zstd, and write their files in
# binary: every map, tileset, sheet, level and tile set must be the same
# bytes, not merely read back alike.
if [ -f "$out/tarn-tiled.exe" ]; then
  command -v zstd >/dev/null || fail "missing tool zstd"
  mkdir "$WORK/tw" "$WORK/tl"
  # tiled SIDE ARGS...: tarn-tiled.exe (win) or the native one (linux) in
  # that side's folder, the demo's colours; stderr kept for a failure.
  tiled() {
    local side=$1
    shift
    if [ "$side" = win ]; then
      (cd "$WORK/tw" && wine_run "$out/tarn-tiled.exe" --game "$out/game" "$@") 2>"$WORK/tiled.err"
    else
      (cd "$WORK/tl" && "$native/tarn-tiled" --game "$out/game" "$@") 2>"$WORK/tiled.err"
    fi || fail "tarn-tiled ($side) $*: $(head -c 400 "$WORK/tiled.err")"
  }
  same() { cmp -s "$WORK/tw/$1" "$WORK/tl/$1" || fail "tarn-tiled.exe's $1 differs from the native one's"; }
  for n in 1 2 3 4 5; do
    for form in tmx tmj; do
      for side in win linux; do
        tiled "$side" export "$out/game/$n.lev" "$out/game/$n.til" "level$n.$form"
        tiled "$side" import "level$n.$form" "back$n-$form.lev" "back$n-$form.til"
      done
      tileset=tsx
      [ "$form" = tmj ] && tileset=tsj
      for f in "level$n.$form" "level$n.$tileset" "level$n.png" "back$n-$form.lev" "back$n-$form.til"; do
        same "$f"
      done
      # A map saved by the other program reads back the same.
      cp "$WORK/tl/level$n.$form" "$WORK/tw/linux$n.$form"
      tiled win import "linux$n.$form" "cross$n.lev"
      cmp -s "$WORK/tw/cross$n.lev" "$WORK/tl/back$n-$form.lev" || fail "the native level$n.$form reads back otherwise"
    done
  done
  say "tarn-tiled.exe: the five demo levels to TMX and TMJ, PNG sheets and back: the native bytes"
  # Level 1's layers compressed as Tiled may save them, zlib in one map and
  # zstd in the other: each imports to the level the CSV map gave.
  python3 - "$WORK/tl/level1.tmx" "$WORK/tw" <<'PY' || fail "could not write the compressed maps"
import base64, re, struct, subprocess, sys, zlib
text = open(sys.argv[1]).read()
def packer(kind, squeeze):
    def pack(m):
        cells = [int(v) for v in m.group(2).replace("\n", "").split(",")]
        raw = struct.pack(f"<{len(cells)}I", *cells)
        return f'{m.group(1)} encoding="base64" compression="{kind}">{base64.b64encode(squeeze(raw)).decode()}</data>'
    return pack
zstd = lambda raw: subprocess.run(["zstd", "-q", "-c"], input=raw, capture_output=True, check=True).stdout
for kind, squeeze in (("zlib", zlib.compress), ("zstd", zstd)):
    out, count = re.subn(r'(<data) encoding="csv">(.*?)</data>', packer(kind, squeeze), text, flags=re.S)
    assert count > 0, "no CSV layer"
    open(f"{sys.argv[2]}/level1-{kind}.tmx", "w").write(out)
PY
  cp "$WORK/tl/level1.tsx" "$WORK/tl/level1.png" "$WORK/tw/"
  for kind in zlib zstd; do
    grep -q "compression=\"$kind\"" "$WORK/tw/level1-$kind.tmx" || fail "level1-$kind.tmx has no $kind layer"
    tiled win import "level1-$kind.tmx" "$kind.lev"
    cmp -s "$WORK/tw/$kind.lev" "$WORK/tl/back1-tmx.lev" || fail "level1-$kind.tmx imports otherwise than its CSV map"
  done
  say "tarn-tiled.exe: zlib- and zstd-compressed layers read as their CSV"
  # A refusal: its line and exit code 1, nothing written.
  printf 'not a map' >"$WORK/tw/broken.tmx"
  (cd "$WORK/tw" && wine_run "$out/tarn-tiled.exe" --game "$out/game" import broken.tmx b.lev) 2>"$WORK/tiled.err"
  rc=$?
  [ "$rc" = 1 ] && grep -q "broken.tmx" "$WORK/tiled.err" && [ ! -e "$WORK/tw/b.lev" ] ||
    fail "tarn-tiled.exe on a broken map: code $rc, $(head -c 300 "$WORK/tiled.err"), want 1, a line naming it, no level"
  say "tarn-tiled.exe: a broken map refused with exit code 1, nothing written"
  took "tarn-tiled.exe"
fi

# ---- 4. tarn.exe in a window.
for tool in Xvfb xdotool xwininfo import convert python3; do
  command -v "$tool" >/dev/null || fail "missing tool $tool"
done
start_xvfb
export SDL_AUDIODRIVER=dummy
# The Wine server of the steps above, started without a display, lingers a
# few seconds; a window asked of it fails, so let it end first.
wineserver -w
window_size() { xwininfo -id "$win" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

# The packed tarn.exe, with the SDL2.dll beside it.
(cd "$WORK/win" && exec wine "$out/tarn-windows/tarn.exe" >"$WORK/tarn.out" 2>"$WORK/tarn.err") &
TARN_PID=$!
wait_for 60 has_window Tarn || fail "no window named Tarn appeared; stderr: $(head -c 400 "$WORK/tarn.err")"
wait_for 10 stable_window || fail "no window named Tarn settled; stderr: $(head -c 400 "$WORK/tarn.err")"
win=$(window_id Tarn)
say "tarn.exe: window $win"
# Keys held for some frames: the engine looks at which keys are down each
# frame, and a loaded machine draws few of them.
hold() { xdotool keydown "$1" && sleep 0.3 && xdotool keyup "$1" && sleep 0.5; }
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
hold F4
width_320() { [ "$(window_size | cut -dx -f1)" = 320 ]; }
wait_for 20 width_320 || fail "after F4 the window is $(window_size), want 320 wide"
sleep 0.5
bar=$(($(window_size | cut -dx -f2) - 200))
[ "$bar" -ge 10 ] && [ "$bar" -le 40 ] || fail "after F4 the window is $(window_size): no menu bar above 320x200"
say "tarn.exe: F4 gives 320x200 below a menu bar of $bar rows"

# The frame on screen has the card's colours: most of its pixels are colours
# of the native tarn-run's frames of the attract card.
# The card slides in after the first seconds: the screen is looked at again
# until it shows.
convert "$WORK/linux/s1.pcx" "$WORK/linux/s2.pcx" -append -depth 8 "rgb:$WORK/card.rgb"
shows_card() {
  import -window "$win" "$WORK/window.png" &&
    convert "$WORK/window.png" -crop "320x200+0+$bar" +repage -depth 8 "rgb:$WORK/window.rgb" &&
    python3 - "$WORK/window.rgb" "$WORK/card.rgb" <<'PY'

import sys
shot, card = (open(p, "rb").read() for p in sys.argv[1:3])
pixels = lambda b: [b[i:i + 3] for i in range(0, len(b), 3)]
seen, known = pixels(shot), set(pixels(card))
colours = len(set(seen))
share = sum(p in known for p in seen) / len(seen)
print(f"windows-test: the window shows {colours} colours, {share:.0%} of its pixels in the card's")
sys.exit(0 if colours > 4 and share > 0.8 else 1)
PY
}
wait_for 20 shows_card || fail "the window does not show the card"

# Debug > Screen Shot (Alt+D, S; the F9 in its label is a label only)
# writes SH000000.PCX into the game folder, the one tarn runs in.
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key alt+d
sleep 0.3
xdotool key s
wait_for 10 test -s "$WORK/win/SH000000.PCX" || fail "Debug > Screen Shot wrote no SH000000.PCX in the game folder"
[ "$(identify -format '%m %wx%h' "$WORK/win/SH000000.PCX" 2>/dev/null)" = "PCX 320x200" ] ||
  fail "SH000000.PCX is not a 320x200 PCX"
say "tarn.exe: Debug > Screen Shot wrote SH000000.PCX in the game folder"

# F12 starts and stops a recording: REC00000.GIF in the game folder.
hold F12
wait_for 10 has_window "Tarn - recording REC00000.GIF" || fail "F12 started no recording"
sleep 1.5
hold F12
wait_for 10 test -s "$WORK/win/REC00000.GIF" || fail "no REC00000.GIF in the game folder after F12 twice"
frames=$(identify "$WORK/win/REC00000.GIF" 2>/dev/null | wc -l)
[ "$frames" -ge 1 ] || fail "identify reads no frame of REC00000.GIF"
say "tarn.exe: F12 recorded REC00000.GIF in the game folder, $frames frames"

# Level 1, the editor, a stroke of paint, then Esc: the change is kept in
# 1.lev.unsaved beside the level, which stays as it was.
# The pointer in the middle first: at an edge the editor scrolls.
xdotool mousemove --window "$win" 160 $((bar + 100))
hold 6
hold e
xdotool mousemove --window "$win" 100 $((bar + 100)) mousedown 1
sleep 0.2
xdotool mousemove --window "$win" 116 $((bar + 100))
sleep 0.2
xdotool mouseup 1
sleep 0.3
timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
hold Escape
wait_for 20 tarn_gone || fail "tarn.exe still running 20 s after Esc"
wait "$TARN_PID"
rc=$?
TARN_PID=""
[ "$rc" = 0 ] || fail "tarn.exe ended with $rc after Esc, want 0"
say "tarn.exe: Esc ends it with exit code 0"
[ -s "$WORK/win/1.lev.unsaved" ] || fail "no 1.lev.unsaved in the game folder after an edit and Esc"
cmp -s "$WORK/win/1.lev" "$out/game/1.lev" || fail "1.lev changed without a SAVE"
grep -q "unsaved changes to 1.lev kept in 1.lev.unsaved" "$WORK/tarn.out" ||
  fail "tarn.exe did not say where the unsaved changes went: $(head -c 300 "$WORK/tarn.out")"
say "tarn.exe: an edit left by Esc is kept in 1.lev.unsaved in the game folder"
took "tarn.exe in a window"
say "PASS"
