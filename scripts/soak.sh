#!/usr/bin/env bash
# soak.sh [--build DIR] [FRAMES [SEED]]: a long random session through
# tarn-run. tarn-soak writes a seeded script of keys, pointer moves and
# clicks, menu commands, level keys, attract restarts, editor modes and saves;
# tarn-run plays it on a copy of the demo folder in the sanitizer build (DIR,
# default build-asan/, made when missing), reporting its memory every
# FRAMES/50 frames. Then every level file of the copy is loaded again (keys 6
# to 9 and the attract level) and must load without a word on stderr.
#
# Memory: tarn-run reports the resident set and the bytes the allocator holds
# for the program every FRAMES/50 frames. After a warm-up (the first tenth
# of the run, left out), the median of the held bytes in the second half may
# not pass the first half's by more than 15 % (a leak), nor the peak resident
# set by more than 30 % (a runaway). The held bytes' peaks go up and down with
# what is loaded and edited (sixteen inserted planes are 12 MB, and saves make
# levels larger); the resident set also carries the sanitizers' allocator,
# which settles slowly, and each GIF recording's worker thread.
#
# Fails (exit 1) on a non-zero exit, a sanitizer report, a damaged-file,
# failed-save or refused-save line, a save's temporary left behind, a run
# that stopped early, a level that does not load back, or memory that grows.
# Defaults: 100000 frames, seed 1.
set -uo pipefail
cd "$(dirname "$0")/.."
build=""
if [ "${1:-}" = "--build" ]; then
  build=$2
  shift 2
fi
frames=${1:-100000}
seed=${2:-1}
if [ -z "$build" ]; then
  build=build-asan
  bash scripts/deps.sh --sanitize >/dev/null || exit 2
  cmake --preset asan >/dev/null || exit 2
  cmake --build --preset asan --target tarn-run tarn-soak demo >/dev/null || exit 2
fi
for f in tarn-run tarn-soak game/tarn.cfg; do
  [ -e "$build/$f" ] || { echo "soak: $build/$f is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-soak.XXXXXX")
every=$(( frames / 50 > 0 ? frames / 50 : 1 ))
# A small quarantine keeps the sanitizer run's own memory in bounds, and
# fills within the warm-up however little the program frees a frame: a
# larger one still filling after it reads as growth (16 MB did on a short run).
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=4}

fail() {
  echo "soak: FAILED: $1 (kept in $work)" >&2
  exit 1
}
# Lines a loader writes about a damaged file, a save that failed or was
# refused ("1.lev: not saved: ..."), and what the sanitizers write. (A save
# before any level was loaded has no file to write to and says so by design:
# "SAVE: no level was loaded ...".)
bad_lines() { grep -E '\.(lev|til|dat|pcx|wav|def|fdf|fnt|tdf): |^[^:]+: cannot write|Sanitizer|runtime error' "$1"; }

"$build/tarn-soak" --seed "$seed" --frames "$frames" >"$work/script.txt" 2>"$work/summary.txt" || fail "tarn-soak"
cp -r "$build/game" "$work/game"
start=$(date +%s)
"$build/tarn-run" --game "$work/game" --frames "$frames" --input "$work/script.txt" --memory-every "$every" \
  >"$work/out.txt" 2>"$work/err.txt"
code=$?
seconds=$(( $(date +%s) - start ))
[ "$code" -eq 0 ] || fail "tarn-run exited with $code"
grep -q "\"frames\": $frames," "$work/out.txt" || fail "the run stopped early: $(tail -n 1 "$work/out.txt")"
bad_lines "$work/err.txt" >/dev/null && fail "stderr: $(bad_lines "$work/err.txt" | head -n 3)"
# Every save finished, so none may have left its temporary file behind.
left=$(find "$work/game" -name '*.tmp*' | head -n 3)
[ -z "$left" ] || fail "temporary files left: $left"

# After the warm-up, per half: the peak resident set, the peak and the
# median of the held bytes.
read -r rss1 rss2 peak1 peak2 median1 median2 < <(awk -v warm=$((frames / 10)) -v half=$((frames * 11 / 20)) '
  $1 == "memory" && $2 > warm {
    h = ($2 <= half) ? 1 : 2; n[h]++; held[h, n[h]] = $4
    if ($3 > rss[h]) rss[h] = $3; if ($4 > peak[h]) peak[h] = $4 }
  function median(h,   i, j, t) {
    for (i = 1; i <= n[h]; i++) for (j = i + 1; j <= n[h]; j++)
      if (held[h, j] < held[h, i]) { t = held[h, i]; held[h, i] = held[h, j]; held[h, j] = t }
    return n[h] ? held[h, int((n[h] + 1) / 2)] : 0
  }
  END { print rss[1] + 0, rss[2] + 0, peak[1] + 0, peak[2] + 0, median(1), median(2) }' "$work/err.txt")
[ "$rss1" -gt 0 ] && [ "$rss2" -gt 0 ] || fail "no memory figures"
[ "$median2" -le $(( median1 + median1 * 15 / 100 )) ] || fail "memory grew: held bytes' median $median1 KB, then $median2 KB"
[ "$rss2" -le $(( rss1 + rss1 * 30 / 100 )) ] || fail "memory grew: peak resident set $rss1 KB, then $rss2 KB"

# Every level, saved or not, loads back without a complaint.
printf '1 key 6 tap\n3 key 7 tap\n5 key 8 tap\n7 key 9 tap\n9 key 5 tap\n' >"$work/reload.txt"
"$build/tarn-run" --game "$work/game" --frames 150 --input "$work/reload.txt" >"$work/reload-out.txt" \
  2>"$work/reload-err.txt" || fail "reloading the levels"
[ -s "$work/reload-err.txt" ] && fail "reloading the levels: $(head -n 3 "$work/reload-err.txt")"
grep -q '"AttractStep": 2,' "$work/reload-out.txt" || fail "the attract level did not load"
changed=0
for lev in "$work"/game/*.lev; do
  cmp -s "$lev" "$build/game/$(basename "$lev")" || changed=$((changed + 1))
done
saves=$(grep -o '[0-9]* saves' "$work/summary.txt" | grep -o '[0-9]*')

echo "soak: $frames frames (seed $seed) in $build in ${seconds} s: $(cut -d: -f2- "$work/summary.txt" | sed 's/^ //')"
echo "soak: $saves saves issued, $changed of 5 level files changed, every level loads back"
echo "soak: memory after the warm-up, first half / second half: peak resident set $rss1 / $rss2 KB;" \
  "held by the program: peak $peak1 / $peak2 KB, median $median1 / $median2 KB: flat"
rm -rf "$work"
