#!/usr/bin/env bash
# The desktop around Kraylo on a real X server: the system pointer stays where the player left
# it, over the start-up window, through every switch to and from full screen, and the menu's
# pointer is drawn there before any mouse move; Alt+Enter shows the picture in a resizable window, letterboxed, with
# the menu's clicks landing on their buttons, and back; another program takes the focus while the
# game is full screen (Alt+Tab under a window manager) and gets the keys, and the game comes back.
# Usage: desktop.sh <kraylo executable> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
copy_program

# An X server resets, and puts its pointer back in the middle, whenever its last client leaves:
# a client that stays keeps the pointer where it is put before the game starts.
xdotool sleep 120 &
holder=$!
# Another program on the desktop, which Enter closes.
xmessage -geometry 300x100+60+60 -default okay "another program" 2>/dev/null &
other=$!
wait_until "the other program's window" "xdotool search --name '^xmessage$' >/dev/null 2>&1"
# Over the start-up window, away from its centre.
read -r start_x start_y < <(to_screen 500 320)
xdotool mousemove $start_x $start_y
(cd "$work" && exec ./kraylo >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid $other $holder 2>/dev/null || true' EXIT

pointer_at() {  # screen x, y
  [ "$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')" = "$1 $2" ]
}

# The menu's pointer is drawn at the system pointer, which has not moved since before the start.
wait_full_screen
wait_lit menu 0.5 340 255 120 22
check "the system pointer where it was ($(xdotool getmouselocation))" "pointer_at $start_x $start_y"
check "the pointer drawn at frame (500, 320)" 'above $(brightest "$work/menu.png" 501 323 7 10) 0.95'
check "no pointer at the frame's corner" '! above $(brightest "$work/menu.png" 1 3 7 10) 0.5'

# Alt+Enter: the picture in a window of its own size, frame pixels 1:1.
xdotool key alt+Return
wait_until "an 800x600 window" '[ "$(kraylo_geometry | cut -d" " -f3-)" = "800 600" ]'
read -r wx wy _ _ < <(kraylo_geometry)
sleep 0.5
check "the system pointer still there ($(xdotool getmouselocation))" "pointer_at $start_x $start_y"
window_shot=$(shoot windowed)
for top in 250 290 330 370 410; do
  share=$(convert "$window_shot" -crop 120x22+$((wx + 340))+$((wy + top + 5)) +repage -colorspace Gray \
    -threshold 6% -format "%[fx:mean]" info:)
  check "button at y $top in the window ($share)" "above $share 0.5"
done
# Resized by the player: letterboxed, the frame at half size in the middle of a 400x600 window.
xdotool search --name '^Kraylo$' windowsize 400 600
wait_until "a 400x600 window" '[ "$(kraylo_geometry | cut -d" " -f3-)" = "400 600" ]'
read -r wx wy _ _ < <(kraylo_geometry)
sleep 0.5
resized=$(shoot resized)
# Button 1 of the half-size frame: left 330 / 2 = 165, top 150 + 250 / 2 = 275.
share=$(convert "$resized" -crop 60x10+$((wx + 170))+$((wy + 278)) +repage -colorspace Gray \
  -threshold 6% -format "%[fx:mean]" info:)
check "button 1 at half size in the resized window ($share)" "above $share 0.5"
bar=$(convert "$resized" -crop 400x140+$wx+$wy +repage -colorspace Gray -threshold 6% -format "%[fx:mean]" info:)
check "a black bar above the frame ($bar)" "! above $bar 0.01"
# A click on Credits, frame (400, 380): window (200, 150 + 190).
xdotool mousemove $((wx + 200)) $((wy + 340)) sleep 0.2 click 1
sleep 0.8
green=$(convert "$(shoot credits)" -fx 'g > 0.3 && r < 0.2 && b < 0.2' -format "%[fx:mean]" info:)
check "the credits in the window ($green)" "above $green 0.0005"
xdotool key Escape

# Alt+Enter again: full screen, and the clicks land on the full-screen buttons.
read -r last_x last_y < <(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')
xdotool key alt+Return
wait_full_screen
wait_lit menu-again 0.5 340 255 120 22
check "the system pointer still where it was" "pointer_at $last_x $last_y"
check "the whole menu" "menu_shown '$work/menu-again.png'"
click_frame 400 300
sleep 0.5
check "Empty Screen clicked: no buttons" "! above \$(lit_share \$(shoot empty) 340 255 120 22) 0.1"
xdotool key Escape
wait_lit menu-back 0.5 340 255 120 22

# Another program takes the focus while the game is full screen, and gets the keys.
if [ "$session" = openbox ]; then
  xdotool key alt+Tab
else
  # Without a window manager programs raise and focus themselves.
  xdotool search --name '^xmessage$' windowraise windowfocus
fi
wait_until "the other program focused" '[ "$(xdotool getwindowfocus getwindowname)" = xmessage ]'
sleep 0.5
read -r r g b <<<"$(pixel "$(shoot away)" 210 100)"
check "the other program shown over the game ($r $g $b)" '[ $r -gt 200 ] && [ $g -gt 200 ] && [ $b -gt 200 ]'
xdotool key Return
wait_exit $other 5
check "Enter reached the other program (status $status)" '[ $status = 0 ]'
check "the game still runs" "kill -0 $pid"

# Back to the game: full screen, Esc held at a tick ends it.
xdotool search --name '^Kraylo$' windowactivate --sync 2>/dev/null || xdotool search --name '^Kraylo$' windowraise windowfocus
wait_until "the game focused" '[ "$(xdotool getwindowfocus getwindowname)" = Kraylo ]'
wait_lit menu-last 0.5 340 255 120 22
xdotool key Escape
wait_exit $pid 5
check "exit status 0 ($status)" '[ $status = 0 ]'
echo "PASS: pointer, Alt+Enter and focus under $session"
