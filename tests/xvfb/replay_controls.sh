#!/usr/bin/env bash
# A recorded game watched with the replay's controls on a real X server: Space pauses and the
# timeline bar shows across the bottom; a click at the bar's right end shows the picture the game
# ended on, one at its left end the start.
# Usage: replay_controls.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1024x768 "$@"
copy_program
# The playfield above the bar's band (and the pointer on it), as the screen shows it.
field() {  # screenshot, picture to write
  convert "$1" -crop "$(screen_rect 0 40 800 480)" +repage -colorspace Gray -threshold 6% "$work/$2"
}
# The inside of the bar's track (736 x 6 pixels, 36 above the bottom); and the share of it in the
# overlay's green (the part played).
track=(36 559 728 4)
played_share() {
  convert "$1" -crop "$(screen_rect "${track[@]}")" +repage \
    -fx 'g > 0.7 && r < 0.3 && b < 0.3' -colorspace Gray -format "%[fx:mean]" info:
}
differing() { compare -metric AE "$work/$1" "$work/$2" null: 2>&1 || true; }

# A game: both players push right for a moment, then the balls roll to a stop; Esc ends it.
(cd "$work" && exec ./kraylo --record game.krp >"$work/record.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_lit menu 0.5 340 255 120 22
click_frame 400 260
wait_lit game 0.8 319 219 60 60
xdotool keydown Right d sleep 0.3 keyup Right d sleep 4
field "$(shoot rest)" rest-field.png
end_with_escape $pid 2
check "the recording run ends with status 0 ($status)" '[ $status = 0 ]'

(cd "$work" && exec ./kraylo --replay game.krp >"$work/replay.log" 2>&1) &
pid=$!
wait_lit replay-start 0.8 319 219 60 60
# Paused while the balls still roll: the bar shows, its played part short.
sleep 0.6
xdotool key space
sleep 0.5
paused=$(shoot paused)
check "the bar is drawn while paused" "above $(lit_share "$paused" "${track[@]}") 0.95"
share=$(played_share "$paused")
check "and little of it is played ($share)" "above $share 0.05 && ! above $share 0.6"
# A click at the bar's right end: the last picture of the game.
click_frame 768 561
sleep 0.5
end_shot=$(shoot sought-end)
field "$end_shot" end-field.png
differ=$(differing rest-field.png end-field.png)
check "the end shows the game's last picture ($differ pixels differ)" "! above $differ 50"
check "the whole bar is played" "above $(played_share "$end_shot") 0.95"
# At its left end: the start, the balls at rest in the middle.
click_frame 32 561
sleep 0.5
start_shot=$(shoot sought-start)
field "$start_shot" start-field.png
check "the start shows nothing played" "! above $(played_share "$start_shot") 0.02"
check "the balls stand in the middle" "above $(lit_share "$start_shot" 319 219 60 60) 0.8"
differ=$(differing end-field.png start-field.png)
check "the start differs from the end ($differ pixels)" "above $differ 1000"

end_with_escape $pid 2
check "the replay ends with status 0 ($status)" '[ $status = 0 ]'
echo "PASS: paused, the bar drawn, clicked to the end and to the start under $session"
