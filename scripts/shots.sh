#!/usr/bin/env bash
# Pictures that must not change when the code is reshaped or made faster:
#   scripts/shots.sh take BUILD_DIR OUT_DIR    # about 700 tarn-run shots into OUT_DIR
#   scripts/shots.sh compare DIR_A DIR_B       # byte for byte; names every shot that differs
# The shots cover the attract sequence over several passes of its pan with the
# card, each level playing and scrolled in the editor with every plane shown,
# and an editing session with painting, stamping, bar mode, line keys and the
# tile viewer. Each run plays on a fresh copy of BUILD_DIR's demo folder.
set -euo pipefail

take() {
  local build out game script
  build=$(cd "$1" && pwd)
  mkdir -p "$2"
  out=$(cd "$2" && pwd)
  game=$(mktemp -d)
  script=$(mktemp)
  trap 'rm -rf "$game" "$script"' RETURN
  cp -r "$build/game/." "$game/"

  # Attract: every 11 frames to 3000.
  : >"$script"
  for ((f = 1; f <= 3000; f += 11)); do echo "$f shot $out/attract-$f.pcx" >>"$script"; done
  "$build/tarn-run" --game "$game" --frames 3000 --input "$script" >/dev/null

  # Each level: playing, then in the editor scrolled right and down by the
  # pointer at the edges, with its planes shown behind the edited one.
  local key
  for key in 6 7 8 9; do
    {
      echo "1 key $key tap"
      for ((f = 2; f <= 200; f += 9)); do echo "$f shot $out/level$key-play-$f.pcx"; done
      echo "202 key E tap"
      echo "206 key Ctrl down"
      local p
      for p in 0 1 2 3 4 5; do
        echo "$((208 + 2 * p)) mouse $((92 + 16 * p)) 54"
        echo "$((208 + 2 * p)) button right down"
        echo "$((209 + 2 * p)) button right up"
      done
      echo "222 key Ctrl up"
      echo "226 mouse 319 100"
      echo "300 mouse 160 199"
      echo "360 mouse 0 0"
      echo "420 mouse 160 100"
      for ((f = 224; f <= 440; f += 6)); do echo "$f shot $out/level$key-edit-$f.pcx"; done
    } >"$script"
    "$build/tarn-run" --game "$game" --frames 440 --input "$script" >/dev/null
  done

  # An editing session on level 1 (tile steps, a stroke, a stamp sweep, a new
  # plane retyped, line keys, the menu and the tile viewer).
  cat >"$script" <<'EOF'
1 key 6 tap
3 key E tap
5 key S tap
7 key S tap
9 key S tap
10 mouse 100 100
11 button left down
12 mouse 108 100
13 mouse 116 100
14 button left up
15 mouse 116 108
16 button right down
17 mouse 100 100
18 button right up
19 key C tap
21 mouse 140 100
22 key P down
23 mouse 164 100
24 key P up
26 key Ctrl down
27 mouse 140 54
28 key A tap
30 mouse 179 74
31 button left down
32 button left up
33 key Ctrl up
35 mouse 20 20
36 button left down
37 button left up
38 mouse 12 20
39 key Alt down
40 key T tap
42 key Alt up
43 key U tap
45 key Ctrl down
46 mouse 76 54
47 button left down
48 button left up
49 key Ctrl up
50 mouse 44 36
51 key E tap
53 key Y tap
55 key U tap
57 key 0 tap
59 key Down tap
61 key Down tap
63 key Up tap
65 key 0 tap
67 key 1 tap
69 mouse 160 199
90 mouse 100 60
92 button left down
93 button left up
95 mouse 60 60
97 key G down
99 key G up
101 key Tab tap
EOF
  for ((f = 2; f <= 110; f += 2)); do echo "$f shot $out/session-$f.pcx" >>"$script"; done
  "$build/tarn-run" --game "$game" --frames 110 --input "$script" >/dev/null
  echo "$(ls "$out" | wc -l) shots in $out"
}

compare() {
  local a=$1 b=$2 differ=0 n=0 f
  for f in "$a"/*.pcx; do
    n=$((n + 1))
    if ! cmp -s "$f" "$b/$(basename "$f")"; then
      echo "differs: $(basename "$f")"
      differ=$((differ + 1))
    fi
  done
  [ "$(ls "$a" | wc -l)" -eq "$(ls "$b" | wc -l)" ] || { echo "the folders hold different numbers of shots"; differ=$((differ + 1)); }
  echo "$n shots compared, $differ differ"
  [ "$differ" -eq 0 ]
}

case "${1:-}" in
  take) take "$2" "$3" ;;
  compare) compare "$2" "$3" ;;
  *) echo "usage: $0 take BUILD_DIR OUT_DIR | compare DIR_A DIR_B" >&2; exit 2 ;;
esac
