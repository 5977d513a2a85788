#!/usr/bin/env bash
# Runs the explorer's seed range split into PARTS contiguous parts at once, one
# process per core: each seed is one independent story, so the parts check
# exactly the seeds and steps one run would. Each part's output is printed
# whole, in seed order, and a failure in any part fails the run.
# usage: scripts/explore.sh SIM PARTS FIRST_SEED SEEDS [explore options...]
set -euo pipefail
sim=${1:?simulator}
parts=${2:?parts}
first=${3:?first seed}
seeds=${4:?seed count}
shift 4
if [ "$parts" -gt "$seeds" ]; then parts=$seeds; fi
if [ "$parts" -lt 1 ]; then parts=1; fi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
pids=()
start=$first
for ((i = 0; i < parts; i++)); do
  count=$((seeds / parts + (i < seeds % parts ? 1 : 0)))
  "$sim" explore --seed "$start" --seeds "$count" "$@" >"$logs/$i" 2>&1 &
  pids+=($!)
  start=$((start + count))
done
failed=0
for ((i = 0; i < parts; i++)); do
  wait "${pids[$i]}" || failed=1
done
for ((i = 0; i < parts; i++)); do
  cat "$logs/$i"
done
last=$((first + seeds - 1))
if [ "$failed" -ne 0 ]; then
  echo "explore: seeds $first to $last in $parts parts: FAILED"
  exit 1
fi
echo "explore: seeds $first to $last in $parts parts: no invariant broken"
