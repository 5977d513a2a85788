#!/usr/bin/env bash
# Runs every benchmark program of a release build; the figures go to standard
# output and to BUILD_DIR/bench/results.txt.
# usage: scripts/bench.sh BUILD_DIR
set -euo pipefail
build=${1:?build dir}
out="$build/bench/results.txt"
: >"$out"
{
  echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.2
  done
} 2>&1 | tee "$out"
