#!/usr/bin/env bash
# The players' own keys on a real X server: with a [Keys] section that swaps the two players' key
# sets, Right pushes ball 2 alone and A ball 1 alone.
# Usage: keys.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
copy_program
printf '%s\r\n' "[Keys]" "p1Left = A" "p1Right = D" "p1Up = W" "p1Down = S" \
  "p2Left = Left" "p2Right = Right" "p2Up = Up" "p2Down = Down" >>"$work/dorvane/config.cfg"
(cd "$work" && exec ./kraylo >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

wait_full_screen
wait_lit menu 0.5 340 255 120 22
click_frame 400 260
# Balls 1 and 2 of the first round, centred on (349, 249) and (451, 351).
wait_lit game 0.8 319 219 60 60
check "ball 2 shown" "above \$(lit_share $work/game.png 421 321 60 60) 0.8"
# Taps key $1 until a ball has left its first place, the frame rectangle $2 to $5: a ball pushed
# for long rolls over the edge, and the count-down of a lost round holds the keys back.
push_until_away() {  # key, left top width height
  for _ in 1 2 3 4 5; do
    xdotool keydown "$1" sleep 0.1 keyup "$1"
    for _ in $(seq 10); do
      above "$(lit_share "$(shoot pushing)" "$2" "$3" "$4" "$5")" 0.3 || return 0
      sleep 0.1
    done
  done
  fail "expected $1 to push a ball away from $2 $3"
}
push_until_away Right 421 321 60 60
right=$(shoot right)
check "Right: ball 1 stays" "above \$(lit_share $right 319 219 60 60) 0.8"
check "Right: ball 2 moved right" "above \$(lit_share $right 470 297 330 110) 0.1"
push_until_away a 319 219 60 60
a=$(shoot a)
check "A: ball 1 moved left" "above \$(lit_share $a 0 195 330 110) 0.1"
check "A: ball 2 still right of its place" "above \$(lit_share $a 470 297 330 110) 0.1"
xdotool keydown Escape
wait_exit $pid 2
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'
echo "PASS: swapped key sets under $session"
