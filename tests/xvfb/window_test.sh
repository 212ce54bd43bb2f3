#!/usr/bin/env bash
# The main window on a real X server: shown and painted (border, log box, Exit button), held keys
# in the key table at the timer's ticks, a click on Exit ends with status 0.
# Usage: window_test.sh <window_probe> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"

# Whether pixel ($2, $3) of image $1 is within 12 of colour $4 ("r g b") in every channel.
near() {
  awk -v a="$(pixel "$1" "$2" "$3")" -v b="$4" 'BEGIN { split(a, x, " "); split(b, y, " ");
    for (i = 1; i <= 3; i++) if (x[i] - y[i] > 12 || y[i] - x[i] > 12) exit 1 }'
}
# Dark letter pixels in a region (WxH+X+Y) of the window picture.
dark() {
  convert "$work/window.png" -crop "$1" +repage -colorspace Gray -threshold 50% -negate \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

log=$work/probe.log
"$probe" >"$log" 2>&1 &
pid=$!
wait_until "the probe ready" "grep -q '^ready' '$log'"
wid=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kraylo$' | head -1)
sleep 0.5
import -window "$wid" "$work/window.png"
check "a 417x334 client area" '[ "$(identify -format %wx%h "$work/window.png")" = 417x334 ]'
while IFS='|' read -r x y color what; do
  check "$what at ($x, $y): $color" "near '$work/window.png' $x $y '$color'"
done <<'EOF_TABLE'
0|0|192 192 192|the border
416|333|192 192 192|the border
0|200|192 192 192|the border
4|4|236 233 216|the window face
300|250|255 255 255|the log box
EOF_TABLE
check "a caption on the Exit button" '[ $(dark 40x14+341+309) -ge 10 ]'
check "text in the log box's first row" '[ $(dark 200x14+13+11) -ge 20 ]'
check "no letters below the log's rows" '[ $(dark 200x14+13+100) -eq 0 ]'
# The Exit button (face, edges, caption) against its reference, allowing small font differences.
convert "$work/window.png" -crop 95x22+314+305 +repage "$work/exit.png"
differing=$(compare -metric AE -fuzz 10% "${0%/*}/exit_button.png" "$work/exit.png" null: 2>&1 || :)
check "the Exit button as its reference ($differing pixels differ)" '[ "${differing%% *}" -le 40 ]'
# Held keys: A (DIK 30) alone, then W (17) and Right (205) together, then none.
xdotool mousemove --window "$wid" 200 320 windowfocus --sync "$wid" 2>/dev/null || true
xdotool keydown a
wait_until "A held" "grep -q '^held 30$' '$log'"
xdotool keyup a keydown Right w
wait_until "Right and W held" "grep -q '^held 17 205$' '$log'"
xdotool keyup Right w
wait_until "no key held" "grep -q '^held -$' '$log'"
check "no key at the window's handler while the log box has the focus" "! grep -q '^key ' '$log'"
xdotool mousemove --window "$wid" 360 316 click 1
wait_exit $pid 10
check "exit status 0 after Exit ($status)" '[ $status = 0 ] && grep -q "^exit click$" "$log"'
echo "PASS ($session): window shown and painted, keys read at ticks, Exit"
