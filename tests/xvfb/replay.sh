#!/usr/bin/env bash
# Records a game on a real X server with --record, checks the file with --check-replay (and the
# same file with one byte changed, which must fail), then shows it with --replay: the replay starts
# without the menu and ends on the picture the game ended on; Esc ends it with status 0.
# Usage: replay.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1024x768 "$@"
copy_program
# The playfield below the frame-rate counter, as the screen shows it.
field() {  # screenshot, picture to write
  local at size
  at=$(to_screen 0 40 | tr ' ' +)
  size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 800 * s, 560 * s }')
  convert "$1" -crop "$size+$at" +repage -colorspace Gray -threshold 6% "$work/$2"
}

# A game: both players push right for a moment, then the balls roll to a stop; Esc ends it.
(cd "$work" && exec ./kraylo --record game.krp >"$work/record.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_lit menu 0.5 340 255 120 22
click_frame 400 260
wait_lit game 0.8 319 219 60 60
xdotool keydown Right d sleep 0.2 keyup Right d sleep 5
field "$(shoot rest)" rest-field.png
xdotool keydown Escape
wait_exit $pid 2
xdotool keyup Escape
check "the recording run ends with status 0 ($status)" '[ $status = 0 ]'

# The file checks out; changed, it does not.
check_status=0
"$work/kraylo" --check-replay "$work/game.krp" >"$work/check.log" 2>&1 || check_status=$?
check "--check-replay passes ($check_status)" '[ $check_status = 0 ]'
check "--check-replay reports one game" "grep -q ': 1 game, [0-9]* ticks, final state checksum ' '$work/check.log'"
ticks=$(sed -n 's/.*1 game, \([0-9]*\) ticks.*/\1/p' "$work/check.log")
cp "$work/game.krp" "$work/changed.krp"
# The last byte is the last byte of the end's checksum.
size=$(stat -c %s "$work/changed.krp")
last=$(od -An -tu1 -j $((size - 1)) "$work/changed.krp" | tr -d ' ')
printf "$(printf '\\%03o' $((last ^ 1)))" | dd of="$work/changed.krp" bs=1 seek=$((size - 1)) conv=notrunc 2>/dev/null
changed_status=0
"$work/kraylo" --check-replay "$work/changed.krp" >"$work/changed.log" 2>&1 || changed_status=$?
check "a changed byte fails ($changed_status)" '[ $changed_status = 1 ]'
check "and says where" "grep -q 'changed.krp: checksum mismatch at tick $ticks: recorded ' '$work/changed.log'"

# The replay: the game at once, then the picture the game ended on.
(cd "$work" && exec ./kraylo --replay game.krp >"$work/replay.log" 2>&1) &
pid=$!
wait_lit replay-start 0.8 319 219 60 60
sleep "$(awk -v t="$ticks" 'BEGIN { print t * 0.03 + 1 }')"
field "$(shoot replay-end)" replay-field.png
differ=$(compare -metric AE "$work/rest-field.png" "$work/replay-field.png" null: 2>&1 || true)
check "the replay ends on the game's last picture ($differ pixels differ)" "! above $differ 50"
xdotool keydown Escape
wait_exit $pid 2
xdotool keyup Escape
check "the replay ends with status 0 ($status)" '[ $status = 0 ]'
echo "PASS: recorded $ticks ticks, checked, changed file refused, replayed under $session"
