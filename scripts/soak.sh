#!/usr/bin/env bash
# soak.sh [--build DIR] [FRAMES [SEED]]: a long random session through
# tarn-run. tarn-soak writes a seeded script of keys, pointer moves and
# clicks, menu commands, level keys, attract restarts, editor modes and saves;
# tarn-run plays it on a copy of the demo folder, reporting its resident set
# every FRAMES/50 frames. Then every level file of the copy is loaded again
# (keys 6 to 9 and the attract level) and must load without a word on stderr.
#
# Fails (exit 1) on a non-zero exit, a sanitizer report, a damaged-file line,
# a run that stopped early, or a second half whose peak memory is more than
# 2 % (and 1 MB) above the first half's. Without --build it builds and uses
# the sanitizer build (build-asan/); defaults: 100000 frames, seed 1.
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
cp -r "$build/game" "$work/game"
every=$(( frames / 50 > 0 ? frames / 50 : 1 ))
# A small allocator quarantine, so the memory figures are the engine's own.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

fail() {
  echo "soak: FAILED: $1 (kept in $work)" >&2
  exit 1
}
# Lines a loader writes about a damaged file, a save that failed, and what
# the sanitizers write. (A save before any level was loaded has no file name
# to write to and fails by design: ": cannot write".)
bad_lines() { grep -E '\.(lev|til|dat|pcx|wav|def|fdf|fnt|tdf): |^[^:]+: cannot write|Sanitizer|runtime error' "$1"; }

"$build/tarn-soak" --seed "$seed" --frames "$frames" >"$work/script.txt" 2>"$work/summary.txt" || fail "tarn-soak"
start=$(date +%s)
"$build/tarn-run" --game "$work/game" --frames "$frames" --input "$work/script.txt" --memory-every "$every" \
  >"$work/out.txt" 2>"$work/err.txt"
code=$?
seconds=$(( $(date +%s) - start ))
[ "$code" -eq 0 ] || fail "tarn-run exited with $code"
grep -q "\"frames\": $frames," "$work/out.txt" || fail "the run stopped early: $(tail -n 1 "$work/out.txt")"
bad_lines "$work/err.txt" >/dev/null && fail "stderr: $(bad_lines "$work/err.txt" | head -n 3)"

# Peak resident set of each half of the run.
read -r first second < <(awk -v half=$((frames / 2)) '
  $1 == "memory" { if ($2 <= half) { if ($3 > a) a = $3 } else { if ($3 > b) b = $3 } }
  END { print a + 0, b + 0 }' "$work/err.txt")
[ "$first" -gt 0 ] && [ "$second" -gt 0 ] || fail "no memory figures"
limit=$(( first + (first / 50 > 1024 ? first / 50 : 1024) ))
[ "$second" -le "$limit" ] || fail "memory grew: peak $first KB in the first half, $second KB in the second"

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
echo "soak: $frames frames (seed $seed) in ${seconds} s: $(cut -d: -f2- "$work/summary.txt" | sed 's/^ //')"
echo "soak: $saves saves issued, $changed of 5 level files changed, all load back; peak memory $first KB in the first half, $second KB in the second: ok"
rm -rf "$work"
