#!/usr/bin/env bash
# Real stories: vistarail-x11 on a virtual X server with two monitors, a real
# window manager and real clients, driven by real key presses; every check
# reads the frames the X server reports.
#
#   x11_stories.sh WM VISTARAIL_X11 VISTARAIL_CLI STORY_CLIENT SCREENSHOT OUT
#
# OUT/report.html shows the screen after each story and the checks made.
# WM is fluxbox (honours a frame one pixel inside the screen edge) or openbox
# (keeps part of every window on screen). Exits 0 when every story passes, 1
# when one fails, 77 (a skip) when Xvfb cannot start. Waits are polls of a
# condition with a deadline, never bare sleeps where a poll works.
set -u

wm=$1 program=$2 cli=$3 client=$4 screenshot=$5 out=$6
rm -rf "$out" && mkdir -p "$out/home" "$out/config/vistarail" "$out/run" "$out/bin"
export HOME=$out/home XDG_CONFIG_HOME=$out/config XDG_RUNTIME_DIR=$out/run
log=$out/stories.log
: >"$log"
failures=0
pids=()

started_at=$(date +%s%N)
shots=0
# picture TITLE: the screen now, for the report.
picture() {
  shots=$((shots + 1))
  "$screenshot" "$out/screen-$shots.png" 2>/dev/null || return 0
  printf '<h2>%s</h2>\n<img src="screen-%d.png" width="1280">\n' "$1" $shots >>"$out/report.body"
}
say() { printf '%6.2fs %s\n' "$(awk "BEGIN{print ($(date +%s%N) - $started_at) / 1e9}")" "$*" | tee -a "$log"; }
cleanup() {
  local i p
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  for _ in $(seq 40); do
    for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && break; p=; done
    [ -z "${p:-}" ] && return
    sleep 0.05
  done
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
}
trap cleanup EXIT

# --- The X server: two 1280 x 1080 monitors side by side.
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
# Xvfb picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -noreset -screen 0 2560x1080x24 -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
pids+=($!)
started=no
for _ in $(seq 100); do
  if [ -s "$out/display" ] && DISPLAY=:$(head -1 "$out/display") xdpyinfo >/dev/null 2>&1; then
    started=yes
    break
  fi
  sleep 0.05
done
[ $started = yes ] || { echo "SKIP: Xvfb could not start ($(tail -1 "$out/xvfb.log"))"; exit 77; }
export DISPLAY=:$(head -1 "$out/display")
xrandr --setmonitor L 1280/339x1080/286+0+0 screen >/dev/null
xrandr --setmonitor R 1280/339x1080/286+1280+0 none >/dev/null

# --- The window manager, without wallpaper helpers that open windows of their own.
printf '#!/bin/sh\nexit 0\n' >"$out/bin/fbsetbg" && chmod +x "$out/bin/fbsetbg"
PATH=$out/bin:$PATH "$wm" >"$out/wm.log" 2>&1 &
pids+=($!)

# poll SECONDS COMMAND...: true once the command succeeds, false at the deadline.
poll() {
  local deadline=$(($(date +%s%N) + $(awk "BEGIN{printf \"%d\", $1 * 1e9}")))
  shift
  while :; do
    "$@" && return 0
    [ "$(date +%s%N)" -ge $deadline ] && return 1
    sleep 0.03
  done
}
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
poll 10 wm_ready || { say "FAIL: $wm did not start"; exit 1; }
# Under openbox a compositing manager runs too, so the overlays show (an ARGB
# window without one shows black where it is clear, so they stay hidden).
composited=no
if [ "$wm" = openbox ]; then
  xcompmgr >"$out/compositor.log" 2>&1 &
  pids+=($!)
  composited=yes
fi

# frame W: the decorated frame "x y w h" the server reports (client + extents).
frame() {
  local info ext
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
  [ -n "$ext" ] || ext="0 0 0 0"
  awk -v e="$ext" '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF}
    END {split(e, a, " "); printf "%d %d %d %d\n", x-a[1], y-a[3], w+a[1]+a[2], h+a[3]+a[4]}' <<<"$info"
}
alive_window() { xwininfo -id "$1" >/dev/null 2>&1; }
windows_of() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
check() {  # DESCRIPTION SECONDS COMMAND...
  local what=$1
  shift
  if poll "$@"; then
    say "  ok   $what"
  else
    say "  FAIL $what"
    for w in $(managed_ids); do say "       $w: $(frame "$w")"; done
    "$cli" msg windows >>"$log" 2>&1
    failures=$((failures + 1))
  fi
}
managed_ids() { xprop -root _NET_CLIENT_LIST | sed -n 's/.*# //p' | tr -d ',' | xargs -n1 2>/dev/null | while read -r w; do printf '%d\n' "$w"; done; }
parked_on_l() {  # a frame out of L's columns: at most a sliver inside either edge
  local f=($(frame "$1"))
  [ $((f[0] + f[2])) -le $park_left ] || [ "${f[0]}" -ge $park_right ]
}
at() { [ "$(frame "$1")" = "$2" ]; }

# --- What each window manager allows: a frame parked one pixel inside the
# edge, or as far out as the window manager lets it go.
case $wm in
  openbox) park_left=70 park_right=1210 ;;  # openbox keeps some 60 pixels on screen
  *) park_left=1 park_right=1279 ;;
esac
# Half the monitor less three 8-point gaps is 628 points; a window manager
# that keeps a terminal to its character grid (openbox) makes it a little
# narrower, and the strip then lays the columns out at the widths they took.
column_width() { [ "$wm" = openbox ] && echo 624 || echo 628; }

# --- The clients.
printf '{\n  "managedDisplayIDs.v1": ["x11-l", "x11-r"]\n}\n' >"$out/config/vistarail/defaults.json"
for i in 1 2 3; do
  xterm -T "term$i" -geometry 80x24+$((100 * i))+$((60 * i)) >/dev/null 2>&1 &
  pids+=($!)
done
t1=$(windows_of term1) t2=$(windows_of term2) t3=$(windows_of term3)
h=$(frame "$t1" | awk '{print $4}')  # a lone window keeps its height
say "== $wm: terminals $t1 $t2 $t3, frame height $h"

"$program" >"$out/vistarail.log" 2>&1 &
vr=$!
pids+=($vr)
running() { kill -0 $vr 2>/dev/null; }
W=$(column_width)
# Two columns in view: from the left gap (8, 16 + W), or scrolled to the right
# gap (1264 - 2W, 1272 - W); the same when the columns fill the monitor.
in_column() {
  case $(frame "$1") in
    "8 8 $W $h" | "$((16 + W)) 8 $W $h" | "$((1264 - 2 * W)) 8 $W $h" | "$((1272 - W)) 8 $W $h") return 0 ;;
  esac
  return 1
}
settled() {  # the two visible columns at exact frames, the other terminals parked
  local visible=0 w
  for w in "$@"; do
    alive_window "$w" || return 1
    if in_column "$w"; then visible=$((visible + 1)); else parked_on_l "$w" || return 1; fi
  done
  [ $visible -eq 2 ]
}
active_at() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && in_column "$1"; }

say "-- three terminals tiled beside the focused one"
xdotool windowactivate "$t3" 2>/dev/null
check "two columns $W wide at exact frames; the third parked" 5 settled "$t1" "$t2" "$t3"
check "the focused terminal is one of them" 3 active_at "$t3"
overlays() { xwininfo -root -tree | grep -c '"Vistarail overlay"'; }
if [ $composited = yes ]; then
  check "the overlays are drawn (composited)" 5 eval '[ "$(overlays)" -gt 0 ]'
else
  check "no overlay window without a compositing manager" 0 eval '[ "$(overlays)" = 0 ]'
fi

picture "three terminals tiled beside the focused one"
say "-- shortcuts move the focus and scroll"
# Focus left (Control-Option-H) walks the strip; the focused window is always shown.
for key in ctrl+alt+h ctrl+alt+h ctrl+alt+l ctrl+alt+l; do
  xdotool key $key
  check "$key: focus and columns settle" 5 settled "$t1" "$t2" "$t3"
  now=$(xdotool getactivewindow)
  check "$key: the focused window is shown" 3 active_at "$now"
done

# A notched Control-Alt wheel over the strip steps the focus, one notch one
# column at most per 0.12 s; the scroll never reaches the window under the pointer.
xdotool mousemove 600 200
before=$(xdotool getactivewindow)
# The focus is on the right-most column now (Control-Alt-L twice): up first.
xdotool keydown ctrl+alt click --repeat 3 --delay 20 4 keyup ctrl+alt
moved_on() { [ "$(xdotool getactivewindow)" != "$before" ] && settled "$t1" "$t2" "$t3"; }
check "Control-Alt wheel up: the focus steps to the column before" 5 moved_on
xdotool keydown ctrl+alt click --repeat 3 --delay 20 5 keyup ctrl+alt
came_back() { [ "$(xdotool getactivewindow)" = "$before" ] && settled "$t1" "$t2" "$t3"; }
check "Control-Alt wheel down: and back" 5 came_back
picture "shortcuts move the focus and scroll"
say "-- a client killed mid-animation"
xdotool key ctrl+alt+h
sleep 0.05  # mid-way: the animation takes some 0.3 s
victim=$(xdotool getactivewindow)
kill "$(xprop -id "$victim" _NET_WM_PID | awk '{print $NF}')"
gone() { ! alive_window "$victim"; }
check "the killed terminal is gone" 3 gone
rest=()
for w in $t1 $t2 $t3; do [ "$w" != "$victim" ] && rest+=("$w"); done
two_settled() { in_column "${rest[0]}" && in_column "${rest[1]}" && [ "$(frame "${rest[0]}")" != "$(frame "${rest[1]}")" ]; }
check "the other two settle at exact frames" 5 two_settled
check "vistarail-x11 is still running" 1 running

picture "a client killed mid-animation"
say "-- a fixed-size client in a stack, and a transient dialog"
"$client" --title fixed --size 400x300 --fixed --dialog >/dev/null 2>&1 &
pids+=($!)
fx=$(windows_of fixed) dlg=$(windows_of "fixed dialog")
dialog_frame=$(frame "$dlg")
fixed_client_size() { xwininfo -id "$fx" | awk '/Width:/{w=$NF} /Height:/{h=$NF} END{print w"x"h}'; }
tiled_fixed() { "$cli" msg windows 2>/dev/null | grep "^$fx " | grep -q column; }
check "the fixed-size window is tiled" 5 tiled_fixed
xdotool windowactivate "$fx" 2>/dev/null
focused_fixed() { [ "$(xdotool getactivewindow)" = "$fx" ] && at_column "$fx"; }
at_column() { local f=($(frame "$1")); [ "${f[1]}" = 8 ] && [ "${f[0]}" -ge 8 ] && [ $((f[0] + f[2])) -le 1272 ]; }
check "the fixed-size window is focused and shown" 5 focused_fixed
xdotool key ctrl+alt+bracketleft
stacked() {
  local f=($(frame "$fx")) other o
  for other in "${rest[@]}"; do
    o=($(frame "$other"))
    # One column: same left edge, one above the other, neither overlapping.
    if [ "${o[0]}" = "${f[0]}" ] && { [ $((o[1] + o[3])) -le "${f[1]}" ] || [ $((f[1] + f[3])) -le "${o[1]}" ]; }; then
      return 0
    fi
  done
  return 1
}
check "stacked with its left neighbour, one above the other" 5 stacked
check "the fixed-size client keeps its size (400x300)" 1 eval '[ "$(fixed_client_size)" = 400x300 ]'
check "the dialog floats where it opened" 1 eval '[ "$(frame "$dlg")" = "$dialog_frame" ]'
check "vistarail-x11 is still running" 1 running

picture "a fixed-size client in a stack, and a transient dialog"
say "-- a monitor removed: its windows gathered on the other"
xterm -T right -geometry 80x24+1500+100 >/dev/null 2>&1 &
pids+=($!)
rt=$(windows_of right)
on_right() { local f=($(frame "$rt")); [ "${f[0]}" -ge 1280 ]; }
xdotool windowactivate "$rt" 2>/dev/null
tiled_right() { on_right && [ "$(frame "$rt" | cut -d' ' -f1)" = 1288 ]; }
check "a terminal tiled on the right monitor at x 1288" 5 tiled_right
xrandr --delmonitor R >/dev/null
gathered() {
  local w f
  for w in $(managed_ids); do
    [ "$w" = "$dlg" ] && continue
    f=($(frame "$w")) || return 1
    # On L: shown inside it, or parked at one of its edges.
    [ "${f[0]}" -lt 1280 ] || return 1
  done
}
check "every window is on the remaining monitor" 8 gathered
"$cli" msg windows 2>&1 | sed 's/^/       program: /' >>"$log"
check "vistarail-x11 is still running" 1 running

picture "a monitor removed: its windows gathered on the other"
say "-- SIGTERM with parked windows: all back on screen"
# Two more terminals, the last focused: the columns before them scroll out.
for name in term4 term5; do
  xterm -T $name -geometry 80x24+300+300 >/dev/null 2>&1 &
  pids+=($!)
  last=$(windows_of $name)
  xdotool windowactivate "$last" 2>/dev/null
  tiled_last() { "$cli" msg windows 2>/dev/null | grep "^$last " | grep -q column; }
  check "$name is tiled" 5 tiled_last
done
parked_ids() { "$cli" msg windows 2>/dev/null | awk '/\[.*parked/ {print $1}'; }
check "some window is parked before the stop" 3 eval '[ -n "$(parked_ids)" ]'
parked=$(parked_ids)
for w in $parked; do say "       parked: $w at $(frame "$w")"; done
"$cli" msg windows 2>&1 | sed 's/^/       program: /' >>"$log"
kill -TERM $vr
stopped() { ! running; }
check "vistarail-x11 stops" 8 stopped
wait $vr 2>/dev/null
code=$?
check "and exits cleanly (status $code)" 0 eval "[ $code = 0 ]"
on_screen() {
  local w f
  for w in $(managed_ids); do
    f=($(frame "$w")) || return 1
    [ "${f[0]}" -ge 0 ] && [ $((f[0] + f[2])) -le 1280 ] || return 1
  done
}
check "every window lies wholly on the remaining monitor" 3 on_screen

picture "SIGTERM with parked windows: all back on screen"
{
  printf '<!doctype html><meta charset="utf-8"><title>vistarail-x11 under %s</title>\n' "$wm"
  printf '<h1>vistarail-x11 under %s</h1>\n<pre>\n' "$wm"
  sed 's/&/\&amp;/g; s/</\&lt;/g' "$log"
  printf '</pre>\n'
  cat "$out/report.body" 2>/dev/null
} >"$out/report.html"
if [ $failures -gt 0 ]; then
  say "== $wm: $failures check(s) failed; logs in $out"
  exit 1
fi
say "== $wm: every story passed"
