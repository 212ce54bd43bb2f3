#!/usr/bin/env bash
# Two Kraylo programs, each full screen on an X server of its own, play each other over UDP on
# 127.0.0.1: one with --host, one with --join. Both are clicked to Play; each player's held key
# moves their own ball on both screens; at rest both screens show the balls at the same places;
# Esc on the joining side ends it, the host's screen says the other player left, and Esc there
# ends it too, both with status 0. Both record the game with --record, and both recordings check
# out with --check-replay. With a fourth argument, the joining side is that program instead: the
# Windows build's kraylo.exe runs under Wine (WINEPREFIX: a made prefix), and each side's
# recording must check out on the other side's program with the same summary. With --typed the
# joining side starts with --join alone and its player types the host's address on the address
# screen (the one offered from an earlier game rubbed out first); the address is then kept as the
# last one. With --watched a third program watches the game with --watch from the start: at rest
# its field is the host's, pixel for pixel, the players' screens say one spectator watches, and
# its recording checks out too.
# Usage: network.sh <kraylo executable> <openbox|bare> <work folder> [<joining kraylo(.exe)>]
#                   [--typed] [--watched]
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
host_display=$DISPLAY
joiner=$probe typed="" watched=""
for arg in "${@:4}"; do
  case $arg in
    --typed) typed=1 ;;
    --watched) watched=1 ;;
    *) joiner=$(realpath "$arg") ;;
  esac
done
windows=""
[[ $joiner != *.exe ]] || windows=1

# Another side's X server, on a display number it picks itself; sets `display` and adds the
# server to `servers`.
servers=()
start_server() {  # name
  Xvfb -displayfd 3 -noreset -screen 0 1280x720x24 -nolisten tcp 3>"$work/$1-display" >/dev/null 2>&1 &
  servers+=($!)
  trap 'kill ${servers[*]} 2>/dev/null || true' EXIT
  for _ in $(seq 100); do [ -s "$work/$1-display" ] && break; sleep 0.05; done
  display=:$(cat "$work/$1-display")
  if [ "$session" = openbox ]; then DISPLAY=$display start_window_manager; fi
}
start_server join
join_display=$display

# Each side runs from a program folder of its own, which keeps its per-user files too.
copy_program "$work/host"
copy_program "$work/join" "$joiner"
port=$((20000 + RANDOM % 20000))
(cd "$work/host" && DISPLAY=$host_display exec $(run_command) --host $port \
  --record "$work/host.krp" >"$work/host.log" 2>&1) &
host=$!
address=127.0.0.1:$port
join_address=$address
[ -z "$typed" ] || join_address=""
(cd "$work/join" && DISPLAY=$join_display exec $(run_command "$joiner") \
  --join $join_address --record "$work/join.krp" >"$work/join.log" 2>&1) &
join=$!
trap 'kill $host $join ${servers[*]} 2>/dev/null || true' EXIT
if [ -n "$watched" ]; then
  start_server watch
  watch_display=$display
  copy_program "$work/watch"
  (cd "$work/watch" && DISPLAY=$watch_display exec $(run_command) --watch "$address" \
    --record "$work/watch.krp" >"$work/watch.log" 2>&1) &
  watch=$!
  trap 'kill $host $join $watch ${servers[*]} 2>/dev/null || true' EXIT
fi

on() { DISPLAY=$1 "${@:2}"; }                 # display, command
shot() { DISPLAY=$1 shoot "$2"; }             # display, screenshot name
click_play() { on "$1" click_frame 400 260; }
# Waits for a frame rectangle (left top width height) of a display to be lit by more (or, with
# "!", not more) than a share.
wait_share() {  # display, screenshot name, [!] share, rectangle
  local display=$1 name=$2 negate=""
  shift 2
  if [ "$1" = "!" ]; then negate="!" && shift; fi
  wait_until "$name: $2 $3 $4 $5 ${negate:+not }lit over $1" \
    "$negate above \$(lit_share \$(shot $display $name) $2 $3 $4 $5) $1"
}
# Where the game screen's messages stand: a quarter of the way down, centred.
message_band="250 114 300 72"
ball1_start="319 219 60 60"  # the middle of each ball's first place
ball2_start="421 321 60 60"

wait_share "$host_display" host-menu 0.5 340 255 120 22
if [ -n "$typed" ]; then
  # The address screen, before the menu: its lines a quarter of the way down.
  wait_share "$join_display" join-address 0.02 $message_band
  on "$join_display" focus_kraylo
  on "$join_display" xdotool key --delay 20 $(printf 'BackSpace %.0s' $(seq 40))
  on "$join_display" xdotool type --delay 60 "$address"
  sleep 0.3
  shot "$join_display" join-typed >/dev/null
  on "$join_display" xdotool key Return
fi
wait_share "$join_display" join-menu 0.5 340 255 120 22
# The host's player presses Play first: its game screen waits for the other player.
click_play "$host_display"
wait_share "$host_display" host-waiting 0.02 $message_band
check "the first round's balls on the host's screen" \
  "above \$(lit_share $work/host-waiting.png $ball1_start) 0.8"
# The joining player presses Play: the message goes, on both screens.
click_play "$join_display"
wait_share "$host_display" host-playing ! 0.001 $message_band
wait_share "$join_display" join-playing ! 0.001 $message_band
check "ball 2 in its first place on the joiner's screen" \
  "above \$(lit_share $work/join-playing.png $ball2_start) 0.8"

# Both players push their ball right, a row of balls apart: the host ball 1 with the arrow, the
# joining player ball 2 with the arrow too, the key that would be player 1's at a shared keyboard:
# each steers their own ball with either set. Ball 2 has less room before the edge, so it gets the
# shorter push: a ball over the edge would start a new round somewhere else.
# Keys reach a Wine window once it has the focus.
on "$join_display" focus_kraylo
on "$host_display" xdotool keydown Right
on "$join_display" xdotool keydown Right
sleep 0.12
on "$join_display" xdotool keyup Right
sleep 0.08
on "$host_display" xdotool keyup Right
# Friction brings both balls to rest within five seconds.
sleep 5
host_rest=$(shot "$host_display" host-rest)
join_rest=$(shot "$join_display" join-rest)
# The frame x of the middle of a ball in screenshot $1: ball 1 is the blue one, ball 2 the orange.
ball_x() {  # screenshot, 1 or 2
  local mask='b > 0.6 && r < 0.4' box
  [ "$2" = 2 ] && mask='r > 0.6 && b < 0.3'
  box=$(convert "$1" -fx "($mask) ? 1 : 0" -format "%@" info:)
  awk -v box="$box" -v s="$scale" -v w="$screen_w" 'BEGIN {
    split(box, p, /[x+]/); printf "%d\n", (p[3] + p[1] / 2 - (w - 800 * s) / 2) / s }'
}
for screen in "$host_rest" "$join_rest"; do
  x1=$(ball_x "$screen" 1)
  x2=$(ball_x "$screen" 2)
  check "ball 1 right of where it began (x $x1) on ${screen##*/}" "above $x1 $((349 + 10))"
  check "ball 2 right of where it began (x $x2) on ${screen##*/}" "above $x2 $((451 + 10))"
done
# The field below the frame-rate counter is the same on both screens, pixel for pixel.
crop=$(awk -v s="$scale" -v x="$(to_screen 0 40 | cut -d' ' -f1)" -v y="$(to_screen 0 40 | cut -d' ' -f2)" \
  'BEGIN { printf "%dx%d+%d+%d", 800 * s, 560 * s, x, y }')
convert "$host_rest" -crop "$crop" +repage "$work/host-field.png"
convert "$join_rest" -crop "$crop" +repage "$work/join-field.png"
differ=$(compare -metric AE "$work/host-field.png" "$work/join-field.png" null: 2>&1 || true)
check "the balls at the same places on both screens ($differ pixels differ)" '[ "$differ" = 0 ]'
if [ -n "$watched" ]; then
  # The spectator shows the game a moment behind the players: at rest, the same field but for the
  # players' corner note.
  watch_rest=$(shot "$watch_display" watch-rest)
  field=$(awk -v s="$scale" -v x="$(to_screen 0 40 | cut -d' ' -f1)" -v y="$(to_screen 0 40 | cut -d' ' -f2)" \
    'BEGIN { printf "%dx%d+%d+%d", 800 * s, 520 * s, x, y }')
  convert "$host_rest" -crop "$field" +repage "$work/host-watched.png"
  convert "$watch_rest" -crop "$field" +repage "$work/watch-field.png"
  differ=$(compare -metric AE "$work/host-watched.png" "$work/watch-field.png" null: 2>&1 || true)
  check "the spectator's field is the host's ($differ pixels differ)" '[ "$differ" = 0 ]'
  check "the host's screen says one spectator watches" \
    "above \$(lit_share $host_rest 10 576 200 18) 0.02"
  check "the spectator's screen has no such note" \
    "! above \$(lit_share $watch_rest 10 576 200 18) 0.001"
fi

# Esc on the joining side ends that program and tells the host at once.
on "$join_display" xdotool keydown Escape
wait_exit $join 4
on "$join_display" xdotool keyup Escape
check "the joiner's exit status 0 ($status)" '[ $status = 0 ]'
left_since=$(date +%s%3N)
wait_share "$host_display" host-left 0.02 $message_band
left_after=$(($(date +%s%3N) - left_since))
check "\"the other player left\" within a second ($left_after ms)" '[ $left_after -lt 1000 ]'
on "$host_display" xdotool keydown Escape
wait_exit $host 2
on "$host_display" xdotool keyup Escape
check "the host's exit status 0 ($status)" '[ $status = 0 ]'
if [ -n "$watched" ]; then
  # The game has ended for the spectator too; Esc ends it.
  wait_share "$watch_display" watch-ended 0.02 $message_band
  on "$watch_display" xdotool keydown Escape
  wait_exit $watch 2
  on "$watch_display" xdotool keyup Escape
  check "the spectator's exit status 0 ($status)" '[ $status = 0 ]'
fi
sides="host join${watched:+ watch}"
for side in $sides; do check "no Debug.txt for the $side" "[ ! -s '$work/$side/Debug.txt' ]"; done
for side in $sides; do
  checked=$("$probe" --check-replay "$work/$side.krp" 2>&1) && ok=1 || ok=0
  check "the $side's recording checks out: $checked" \
    "[ $ok = 1 ] && [[ \"\$checked\" =~ ': 1 game, '[0-9]{3,}' ticks' ]]"
  if [ -n "$windows" ]; then
    there=$(wine "$joiner" --check-replay "$work/$side.krp" 2>&1 | tr -d '\r') && ok=1 || ok=0
    check "the $side's recording checks out the same on the joiner's program: $there" \
      "[ $ok = 1 ] && [ \"\${there#*: }\" = \"\${checked#*: }\" ]"
  fi
done
if [ -n "$typed" ]; then
  check "the typed address kept as the last one" \
    "[ \"\$(tr -d '\r' <'$work/join/last-address')\" = '$address' ]"
fi
echo "PASS: a network game between two programs${windows:+ (the joiner under Wine)}${typed:+, the" \
  "address typed}${watched:+, watched by a third,} under $session, all ending with status 0"
