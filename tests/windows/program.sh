#!/usr/bin/env bash
# Plays the Windows program under Wine, full screen on a real X server: the menu shows, Play
# starts the game, held keys move the balls, Esc ends the program with status 0.
# Usage: program.sh <kraylo.exe> <openbox|bare> <work folder>   (WINEPREFIX: a made prefix)
set -euo pipefail
source "$(dirname "$0")/../xvfb/checks.sh"
in_xvfb 1280x720 "$@"
# The program folder as the portable zip has it.
copy_program "$work/Kraylo"
(cd "$work/Kraylo" && exec $(run_command) </dev/null >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

wait_full_screen
wait_lit menu 0.5 340 255 120 22
check "every menu button lit" "menu_shown $work/menu.png"
# Play: balls 1 and 2 of the first round, centred on (349, 249) and (451, 351).
xdotool mousemove $(to_screen 400 260) sleep 0.2 click 1
wait_lit game 0.8 319 219 60 60
check "ball 2 shown" "above \$(lit_share $work/game.png 421 321 60 60) 0.8"
# Keys reach a Wine window once it has the focus (xdotool's key --window does not reach it).
focus_kraylo
xdotool keydown Right d sleep 0.2 keyup Right d sleep 0.6
moved=$(shoot moved)
check "ball 1 moved away" "! above \$(lit_share $moved 319 219 60 60) 0.3"
check "ball 2 moved away" "! above \$(lit_share $moved 421 321 60 60) 0.3"
end_with_escape $pid 5
check "exit status 0 ($status)" '[ $status = 0 ]'
check "no Debug.txt" "[ ! -s '$work/Kraylo/Debug.txt' ]"
echo "PASS: the Windows program under Wine ($session): menu, a game, keys, exit status 0"
