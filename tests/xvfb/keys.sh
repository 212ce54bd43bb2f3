#!/usr/bin/env bash
# The players' own keys on a real X server: with a [Keys] section that swaps the two players' key
# sets, Right pushes ball 2 alone and A ball 1 alone.
# Usage: keys.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
cp "$probe" "$work/kraylo"
cp -r "$(dirname "$probe")/dorvane" "$work/dorvane"
printf '%s\r\n' "[Keys]" "p1Left = A" "p1Right = D" "p1Up = W" "p1Down = S" \
  "p2Left = Left" "p2Right = Right" "p2Up = Up" "p2Down = Down" >>"$work/dorvane/config.cfg"
(cd "$work" && exec ./kraylo >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

wait_lit() {  # screenshot name, share, frame rectangle (left top width height)
  wait_until "$1: $3 $4 $5 $6 lit" "above \$(lit_share \$(shoot $1) $3 $4 $5 $6) $2"
}
wait_lit menu 0.5 340 255 120 22
xdotool mousemove $(to_screen 400 260) sleep 0.2 click 1
# Balls 1 and 2 of the first round, centred on (349, 249) and (451, 351).
wait_lit game 0.8 319 219 60 60
check "ball 2 shown" "above \$(lit_share $work/game.png 421 321 60 60) 0.8"
xdotool keydown Right sleep 0.3 keyup Right sleep 0.4
right=$(shoot right)
check "Right: ball 1 stays" "above \$(lit_share $right 319 219 60 60) 0.8"
check "Right: ball 2 moved away" "! above \$(lit_share $right 421 321 60 60) 0.3"
check "Right: ball 2 moved right" "above \$(lit_share $right 470 297 330 110) 0.1"
xdotool keydown a sleep 0.3 keyup a sleep 0.4
a=$(shoot a)
check "A: ball 1 moved away" "! above \$(lit_share $a 319 219 60 60) 0.3"
check "A: ball 1 moved left" "above \$(lit_share $a 0 195 330 110) 0.1"
xdotool keydown Escape
wait_exit $pid 2
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'
echo "PASS: swapped key sets under $session"
