#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets (part of the
# clang sanitizer build, build-asan/) and runs each for SECONDS (default 60)
# on its corpus: the seeds made from the demo folder and small cases, plus
# whatever earlier runs kept in build-asan/corpus/. Prints a table of
# executions and findings; a finding (its input is kept in
# build-asan/findings/) makes the exit code 1.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tile level pcx wav font card script tiled)

cmake --preset asan >/dev/null || exit 2
cmake --build --preset asan --target fuzz-targets || exit 2
[ -f build/game/tarn.cfg ] || { cmake --preset release >/dev/null && cmake --build --preset release --target demo; } || exit 2

# The targets write each input to files and saves fsync them: on a memory
# file system that costs nothing. A folder of this run's own, removed at the end.
shm=/dev/shm; [ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
TMPDIR=$(mktemp -d "$shm/tarn-fuzz.XXXXXX") || exit 2
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

seeds=build-asan/seeds
rm -rf "$seeds"
./build-asan/fuzz/tarn-fuzz-seeds build/game "$seeds" >/dev/null || exit 2
mkdir -p build-asan/findings

declare -A dict=([tile]=tile [level]=level [pcx]=pcx [wav]=wav [font]=text [card]=text [script]=script
                 [tiled]=tiled)
# One target a core at a time (FUZZ_JOBS overrides); rows come out in order.
jobs=${FUZZ_JOBS:-$(nproc)}
rows=$(mktemp -d "$TMPDIR/rows.XXXXXX")
run_target() {
  local t=$1 bin=build-asan/fuzz/fuzz-$1 corpus=build-asan/corpus/$1
  [ -x "$bin" ] || { echo "| $t | - | not built | - | - |" >"$rows/$t"; return; }
  mkdir -p "$corpus"
  # The targets' own notes on stderr (one a damaged file) would fill the
  # log; libFuzzer keeps its own output and the sanitizers' reports.
  local opts=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
              -close_fd_mask=3 -artifact_prefix=build-asan/findings/$t- )
  [ -f "fuzz/dicts/${dict[$t]}.dict" ] && opts+=(-dict="fuzz/dicts/${dict[$t]}.dict")
  local log=build-asan/$t.log
  local before after runs files
  before=$(ls build-asan/findings | grep -c "^$t-" || true)
  "$bin" "${opts[@]}" "$corpus" "$seeds/$t" >"$log" 2>&1
  after=$(ls build-asan/findings | grep -c "^$t-" || true)
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
  files=$(ls "$corpus" | wc -l)
  printf '| %s | %s | %s | %s | %s |\n' "$t" "$seconds" "${runs:-?}" "$files" "$((after - before))" >"$rows/$t"
  [ "$after" -eq "$before" ] || touch "$rows/$t.found"
}
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  run_target "$t" &
done
wait
found=0
printf '| target | seconds | executions | corpus | findings |\n|---|---|---|---|---|\n'
for t in "${targets[@]}"; do
  cat "$rows/$t"
  [ -e "$rows/$t.found" ] && found=1
done
if [ "$found" -ne 0 ]; then
  echo "fuzz: findings kept in build-asan/findings/ (logs in build-asan/*.log)" >&2
  exit 1
fi
