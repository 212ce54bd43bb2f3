#!/usr/bin/env bash
# Plays Kraylo full screen on a real X server and checks what the screen shows: the menu, the
# credits, a game whose balls held keys move, Esc held ends the program with status 0 at once.
# Usage: program.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
# A program folder of its own: the executable and its data folder.
copy_program
desktop=${screen_w}x${screen_h}
(cd "$work" && exec ./kraylo >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Waits for a frame rectangle (left top width height) to be lit by more than a share.
# The menu: five buttons at x 330 on the 800 pixel wide frame; nothing left of them.
wait_full_screen
wait_lit menu 0.5 340 255 120 22
check "every menu button lit" "menu_shown $work/menu.png"
check "nothing left of the buttons" "! above \$(lit_share $work/menu.png 40 100 250 450) 0.01"

# Button 4: green credits text; Esc goes back to the menu.
click_frame 400 380
sleep 1
green=$(convert "$(shoot credits)" -fx 'g > 0.3 && r < 0.2 && b < 0.2' -format "%[fx:mean]" info:)
check "green credits text ($green)" "above $green 0.002"
xdotool key Escape
wait_lit menu-again 0.5 340 255 120 22
# Button 1: balls 1 and 2 of the first round, centred on (349, 249) and (451, 351).
click_frame 400 260
wait_lit game 0.8 319 219 60 60
check "ball 2 shown" "above \$(lit_share $work/game.png 421 321 60 60) 0.8"
# Both players hold their right key: the balls leave their first places.
xdotool keydown Right d sleep 0.2 keyup Right d sleep 0.6
moved=$(shoot moved)
check "ball 1 moved away" "! above \$(lit_share $moved 319 219 60 60) 0.3"
check "ball 2 moved away" "! above \$(lit_share $moved 421 321 60 60) 0.3"
check "ball 1 still on the screen" "above \$(lit_share $moved 300 195 500 110) 0.1"
check "ball 2 still on the screen" "above \$(lit_share $moved 400 297 400 110) 0.1"
# Esc held at a tick ends the program within a second.
xdotool keydown Escape
wait_exit $pid 1
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'
read -r w h < <(xdpyinfo | awk '/dimensions:/ { sub("x", " ", $2); print $2 }')
check "the desktop at $desktop again" '[ ${w}x$h = $desktop ]'
check "no Debug.txt" "[ ! -s '$work/Debug.txt' ]"
echo "PASS: menu, credits and a game under $session, exit status 0"
