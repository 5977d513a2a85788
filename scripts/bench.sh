#!/usr/bin/env bash
# Runs every benchmark program of a release build; the figures go to standard
# output and to BUILD_DIR/bench/results.txt.
#
# A benchmark program whose name docs/performance.md marks with
#   <!-- bench:NAME -->
#   ...
#   <!-- /bench:NAME -->
# has its figures written between the two markers as a table (the medians of
# three repetitions, CPU time and counters), so the document quotes the last
# run and cannot fall behind the code.
# usage: scripts/bench.sh BUILD_DIR [DOC]
set -euo pipefail
build=${1:?build dir}
doc=${2:-docs/performance.md}
out="$build/bench/results.txt"
tables="$build/bench/tables"
mkdir -p "$tables"
rm -f "$tables"/*.md
: >"$out"

machine="$(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

# One console line of Google Benchmark per median: name, real and CPU time
# with their units, iterations, then counters as name=value.
to_table() {
  awk -v machine="$machine" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" '
    BEGIN {
      print "| benchmark | CPU time | counters |"
      print "|---|---:|---|"
    }
    $1 ~ /_median$/ {
      name = $1
      sub(/_median$/, "", name)
      unit = $5
      if (unit == "us") unit = "µs"
      counters = ""
      for (i = 7; i <= NF; ++i) {
        split($i, kv, "=")
        value = kv[2]
        # Google Benchmark writes 1288 as 1.288k
        if (value ~ /k$/) { sub(/k$/, "", value); value = sprintf("%.0f", value * 1000) }
        counters = counters (counters == "" ? "" : ", ") kv[1] " " value
      }
      printf "| `%s` | %s %s | %s |\n", name, $4, unit, counters
    }
    END {
      print ""
      printf "Written by `make bench`: median of 3 repetitions, release build; %s, load average %s.\n", machine, load
    }'
}

{
  echo "machine: $machine"
  for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    name=$(basename "$b")
    echo "== $name"
    if grep -q "<!-- bench:${name#bench_} -->" "$doc" 2>/dev/null; then
      "$b" --benchmark_min_time=0.2 --benchmark_repetitions=3 --benchmark_color=false |
        tee "$tables/${name#bench_}.txt"
      to_table <"$tables/${name#bench_}.txt" >"$tables/${name#bench_}.md"
    else
      "$b" --benchmark_min_time=0.2
    fi
  done
} 2>&1 | tee "$out"

# Each marked section of the document replaced by its table.
for table in "$tables"/*.md; do
  [ -e "$table" ] || continue
  name=$(basename "$table" .md)
  awk -v begin="<!-- bench:$name -->" -v end="<!-- /bench:$name -->" -v table="$table" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping { print }' "$doc" >"$doc.new"
  mv "$doc.new" "$doc"
  echo "bench: figures of bench_$name written to $doc"
done
