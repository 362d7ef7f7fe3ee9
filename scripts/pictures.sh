#!/usr/bin/env bash
# The README's pictures, made by tarn-run from the demo folder:
#   scripts/pictures.sh make TARN_RUN GAME_DIR KEPT_DIR BIG_DIR
#   scripts/pictures.sh check TARN_RUN GAME_DIR KEPT_DIR
# PNGs of the five levels, the title card, the editor (panel and bar mode)
# and the tile viewer; GIFs of the card arriving and of each level playing.
# The ones under 300 KB are kept (in docs/pictures, under 3 MB in all); the
# larger GIFs go to BIG_DIR. check makes them all afresh in a temporary
# folder: every small one must match its kept file byte for byte.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_pictures() {
  local run=$1 game=$2 out=$3 script
  mkdir -p "$out"
  script=$work/script.txt

  # The attract sequence: the card arriving over level 5 (frame 122 on), the
  # card in place, and level 5 with all its planes in the endless diagonal pan.
  "$run" --game "$game" --frames 4300 --gif 122-481:"$out/card.gif" --shot 400:"$out/card.png" \
    --shot 4100:"$out/level5.png" --gif 4000-4179:"$out/level5.gif" >/dev/null

  # Levels 1 to 4 by their keys (6 loads 1.lev, 7 3.lev, 8 2.lev, 9 4.lev).
  local key level
  for key in 6 7 8 9; do
    case $key in 6) level=1 ;; 7) level=3 ;; 8) level=2 ;; 9) level=4 ;; esac
    echo "1 key $key tap" >"$script"
    "$run" --game "$game" --frames 300 --input "$script" --shot 120:"$out/level$level.png" \
      --gif 2-181:"$out/level$level.gif" >/dev/null
  done

  # The editor on level 1: the panel, then bar mode (Ctrl held) with the
  # planes behind shown, then the tile viewer (key 1).
  cat >"$script" <<'SCRIPT'
1 key 6 tap
3 key E tap
6 mouse 150 120
10 shot editor.png
12 key Ctrl down
14 mouse 108 54
15 button right down
16 button right up
18 mouse 150 120
20 shot editor-bar.png
22 key Ctrl up
24 key 1 tap
28 mouse 150 120
30 shot tile-viewer.png
SCRIPT
  (cd "$out" && "$run" --game "$game" --frames 30 --input "$script" >/dev/null)
}

MAX_KEPT=307200     # 300 KB a file
MAX_ALL=3145728     # 3 MB together

small() { [ "$(stat -c %s "$1")" -lt "$MAX_KEPT" ]; }

# All kept files together stay under 3 MB.
check_total() {
  local total
  total=$(cat "$1"/* | wc -c)
  [ "$total" -lt "$MAX_ALL" ] || { echo "pictures: $total bytes kept in all, over 3 MB" >&2; return 1; }
}

# Makes every picture, then the small ones replace KEPT_DIR's and the rest go to BIG_DIR.
make_and_sort() {
  local run=$1 game=$2 kept=$3 big=$4 fresh f
  fresh=$work/fresh
  make_pictures "$run" "$game" "$fresh"
  mkdir -p "$kept" "$big"
  rm -f "$kept"/*
  for f in "$fresh"/*; do
    if small "$f"; then
      cp "$f" "$kept/"
    else
      cp "$f" "$big/"
      echo "pictures: $(basename "$f") ($(stat -c %s "$f") bytes) is not kept: $big"
    fi
  done
  check_total "$kept"
  echo "pictures: $(ls "$kept" | wc -l) files in $kept, $(cat "$kept"/* | wc -c) bytes"
}

check() {
  local run=$1 game=$2 kept=$3 fresh differ=0 f
  fresh=$work/fresh
  make_pictures "$run" "$game" "$fresh"
  for f in "$fresh"/*; do
    small "$f" || continue
    if ! cmp -s "$f" "$kept/$(basename "$f")"; then
      echo "pictures: $(basename "$f") differs from the kept one: run make pictures" >&2
      differ=1
    fi
  done
  for f in "$kept"/*; do
    [ -e "$fresh/$(basename "$f")" ] && small "$fresh/$(basename "$f")" ||
      { echo "pictures: $(basename "$f") is kept but no longer made under 300 KB" >&2; differ=1; }
  done
  check_total "$kept" || differ=1
  [ "$differ" -eq 0 ] && echo "pictures: $(ls "$kept" | wc -l) files match the kept ones"
  return $differ
}

case "${1:-}" in
  make) make_and_sort "$(realpath "$2")" "$(realpath "$3")" "$(realpath -m "$4")" "$(realpath -m "$5")" ;;
  check) check "$(realpath "$2")" "$(realpath "$3")" "$(realpath "$4")" ;;
  *) echo "usage: $0 make TARN_RUN GAME_DIR KEPT_DIR BIG_DIR | check TARN_RUN GAME_DIR KEPT_DIR" >&2; exit 2 ;;
esac
