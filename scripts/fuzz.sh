#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time each.
# usage: scripts/fuzz.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
build=${1:?build dir}
seconds=${2:-60}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets built"
  exit 0
fi
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="$build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  echo "fuzz: $name for ${seconds}s"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  "$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "${args[@]}" 2>"$build/fuzz/$name.log" || {
    tail -n 40 "$build/fuzz/$name.log"
    echo "fuzz: $name FAILED"
    exit 1
  }
  grep -E 'stat::number_of_executed_units' "$build/fuzz/$name.log" || true
done
