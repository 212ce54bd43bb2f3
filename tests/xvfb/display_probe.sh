#!/usr/bin/env bash
# Shows the display probe's frame full screen on a real X server (1:1 on an 800x600 screen,
# letterboxed on a wider one), points the mouse at menu button 2 and checks the screenshot.
# Usage: display_probe.sh <display_probe> <openbox|bare> <work folder> <source folder>
#          <screen WxH> <bits> <auto|renderer>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb "$5" "$@"
# A Windows probe (.exe) runs under Wine, whose server must know this display.
launcher=()
if [[ $probe == *.exe ]]; then launcher=(wine) && wineserver --wait; fi
timeout 30 "${launcher[@]}" "$probe" "$4" "$6" 4 "$7" >"$work/probe.log" 2>&1 &
pid=$!
wait_until "the probe ready" "grep -q '^ready' '$work/probe.log'"
# X starts the pointer at the screen's centre, which is where the frame's (400, 300) lies: a move
# there alone is no move, and a frame that saw the pointer before its window settled (Wine) keeps
# a stale position. So the pointer comes from elsewhere, and the probe must have seen it arrive.
xdotool mousemove $(to_screen 300 200) sleep 0.2 mousemove $(to_screen 400 300)
wait_until "the probe to see the mouse at (400, 300)" \
  "tr -d '\r' <'$work/probe.log' | grep -q '^mouse 400 300$'"
sleep 0.3
shot=$(shoot probe)
wait_exit $pid 30
# A Windows program's lines end in CR LF.
sed -i 's/\r$//' "$work/probe.log"
check "exit status 0 ($status)" '[ $status = 0 ]'
check "a $5 screenshot" "[ \"\$(identify -format %wx%h '$shot')\" = $5 ]"
bar=$(to_screen 0 0 | cut -d' ' -f1)
# Frame pixel | what it shows | condition on its colour r g b
while IFS='|' read -r at what condition; do
  read -r r g b <<<"$(pixel "$shot" $(to_screen $at))"
  check "$what ($r $g $b)" "$condition"
done <<'EOF_TABLE'
30 580|dark blue field|[ $r -lt 10 ] && [ $g -lt 10 ] && [ $b -gt 40 ] && [ $b -lt 60 ]
-50 300|black left bar|[ $bar = 0 ] || [ $r$g$b = 000 ]
850 100|black right bar|[ $bar = 0 ] || [ $r$g$b = 000 ]
150 150|blue ball 1|[ $b -gt 150 ] && [ $r -lt 120 ]
650 150|red X on the losing ball 2|[ $r -gt 150 ] && [ $g -lt 80 ]
340 256|button 1 normal|[ $b -gt $r ]
340 296|button 2 highlighted under the mouse|[ $r -gt 200 ] && [ $b -lt 120 ]
EOF_TABLE
check "the mouse at frame pixel (400, 300)" "grep -q '^mouse 400 300$' '$work/probe.log'"
check "the pointer drawn at the mouse" 'above $(brightest "$shot" 401 303 7 10) 0.95'
check "white FPS text" 'above $(brightest "$shot" 10 10 50 12) 0.95'
check "back on the desktop at 417x334" "grep -q '^desktop 417x334$' '$work/probe.log'"
[ "$7" = auto ] || check "SDL's renderer" "grep -q '^ready renderer' '$work/probe.log'"
echo "PASS: $session, $5 at $6 bits on the $7 path: $(grep -m1 '^ready' "$work/probe.log")"
