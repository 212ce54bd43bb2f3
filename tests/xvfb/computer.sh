#!/usr/bin/env bash
# Plays against the computer on a real X server: `kraylo --computer hard`, Play clicked and no key
# held, until the computer has pushed ball 1 over an edge (ball 1 drawn in its losing look: grey
# with a red cross, beside an orange ball 2); then Esc held ends the program with status 0.
# Usage: computer.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
copy_program
(cd "$work" && exec ./kraylo --computer hard >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Shares of the screen (0 to 1) in the colours of the balls' looks, measured on every fourth pixel
# of every fourth row: quick enough to look several times during the second a lost round shows.
share() { convert "$1" -sample 25% -fx "$2" -format "%[fx:mean]" info:; }
red_cross() { share "$1" 'r > 0.7 && g < 0.3 && b < 0.3'; }
blue_ball() { share "$1" 'b > 0.6 && r < 0.3'; }
orange_ball() { share "$1" 'r > 0.8 && g > 0.35 && g < 0.75 && b < 0.25'; }

wait_lit menu 0.5 340 255 120 22
click_frame 400 260
wait_until "the game" "above \$(blue_ball \$(shoot game)) 0.001"

# Ball 1 has lost when the cross is shown and its ordinary blue look is not.
lost=""
end=$(($(date +%s) + 30))
while [ "$(date +%s)" -lt $end ]; do
  shot=$(shoot watch)
  if above "$(red_cross "$shot")" 0.001 && ! above "$(blue_ball "$shot")" 0.0005; then
    lost=$work/ball-1-lost.png
    cp "$shot" "$lost"
    break
  fi
  sleep 0.2
done
check "ball 1 pushed over an edge within 30 s" '[ -n "$lost" ]'
check "ball 2 still in its ordinary look" "above \$(orange_ball $lost) 0.002"
kill -0 $pid || fail "the program ended by itself"

xdotool keydown Escape
wait_exit $pid 2
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'
echo "PASS: the computer at hard pushed ball 1 over an edge under $session; Esc ended with status 0"
