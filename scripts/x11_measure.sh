#!/usr/bin/env bash
# Measures vistarail-x11 on real windows under Xvfb and fluxbox: N windows of
# a small client tiled on one 1280 x 1080 monitor, then focus-left and
# focus-right presses, each scrolling the strip by one column.
#
#   x11_measure.sh VISTARAIL_X11 STORY_CLIENT OUT [N...]
#
# From the program's trace (VISTARAIL_X11_TRACE): the key press reaching the
# program to the first frame written and to the last frame of the animation,
# X requests per written frame per window (every connection's, the event
# connection's reads of the moves included), and the program's CPU time per
# display-link frame over the animations (its idle rate taken out).
set -u
program=$1 client=$2 out=$3
shift 3
counts=("${@:-10 50}")
[ $# -eq 0 ] && counts=(10 50)
mkdir -p "$out"

measure() {
  local n=$1 dir=$out/n$1 pids=() display
  rm -rf "$dir" && mkdir -p "$dir/home" "$dir/config" "$dir/run" "$dir/bin"
  Xvfb -displayfd 3 -noreset -screen 0 1280x1080x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
  display=:$(head -1 "$dir/display")
  export DISPLAY=$display HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/run
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  printf '#!/bin/sh\nexit 0\n' >"$dir/bin/fbsetbg" && chmod +x "$dir/bin/fbsetbg"
  PATH=$dir/bin:$PATH fluxbox >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
  for i in $(seq "$n"); do
    "$client" --title "w$i" --size 500x600 >/dev/null 2>&1 &
    pids+=($!)
  done
  for _ in $(seq 200); do
    [ "$(xprop -root _NET_CLIENT_LIST | tr ',' '\n' | grep -c 0x)" -ge "$n" ] && break
    sleep 0.05
  done
  VISTARAIL_X11_TRACE=1 "$program" --no-socket 2>"$dir/trace.log" &
  local vr=$!
  pids+=($vr)
  sleep 3  # the first layout of every window
  xdotool windowactivate "$(xdotool search --name '^w1$' | head -1)" 2>/dev/null
  sleep 1
  local idle before after
  # What the program spends idle (its timers), to take out of the figure.
  idle=$(awk '{print $14 + $15}' /proc/$vr/stat)
  sleep 2
  before=$(awk '{print $14 + $15}' /proc/$vr/stat)
  idle=$(awk -v a="$idle" -v b="$before" 'BEGIN{print (b - a) / 2}')
  : >"$dir/marks"
  for key in ctrl+alt+l ctrl+alt+l ctrl+alt+l ctrl+alt+h ctrl+alt+h ctrl+alt+h; do
    xdotool key $key
    sleep 0.8  # the whole animation and then some: each press measured alone
  done
  after=$(awk '{print $14 + $15}' /proc/$vr/stat)
  kill -TERM $vr
  wait $vr 2>/dev/null
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  sleep 0.5
  # A window manager whose server went first may not hear the request.
  for i in "${pids[@]}"; do kill -KILL "$i" 2>/dev/null; done
  # Per press: key -> first write and -> last write; requests and writes.
  awk -v n="$n" -v ticks="$(awk -v a="$before" -v b="$after" -v i="$idle" 'BEGIN{print b - a - i * 4.8}')" -v hz="$(getconf CLK_TCK)" '
    $1 == "x11" && $2 == "key" { if (key) flush(); key = $3; kreq = $4; first = 0; last = 0; writes = 0; nf = 0; next }
    $1 == "x11" && $2 == "write" && key { if (!first) first = $3; last = $3; lreq = $4; writes++; next }
    $1 == "x11" && $2 == "frame" && key { frame[++nf] = $3; next }
    function flush(   i) {
      if (!first) return
      presses++; firstSum += first - key; lastSum += last - key
      reqSum += lreq - kreq; writeSum += writes
      for (i = 1; i <= nf; i++) if (frame[i] <= last) frameSum++
    }
    END {
      flush()
      if (!presses) { print "no animation measured"; exit 1 }
      printf "windows %d: presses %d, key->first frame %.1f ms, key->last frame %.1f ms, ", n, presses, 1000 * firstSum / presses, 1000 * lastSum / presses
      printf "frames written %d (%.1f per press), X requests per window frame %.1f, ", writeSum, writeSum / presses, reqSum / writeSum
      printf "CPU %.2f ms per display-link frame (%d frames)\n", 1000 * ticks / hz / frameSum, frameSum
    }' "$dir/trace.log" | tee "$dir/result.txt"
}

for n in "${counts[@]}"; do measure "$n"; done
