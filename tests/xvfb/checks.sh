# Sourced by the scripts that run under Xvfb: the X server and session around them, waits, and
# checks on screenshots. Frame positions are in the 800 x 600 frame, which full screen scales to
# the screen with its aspect ratio kept, centred.
source "$(dirname "${BASH_SOURCE[0]}")/window_manager.sh"

# Runs the calling script again inside an X server with a $1 screen (exit 77, skipped, without
# xvfb-run or xdotool); $xvfb_options are more options for the server. Inside: starts openbox
# when the session ($3) asks for it and sets probe=$2, session=$3, work=$4 (emptied) and the
# screen's size and frame scale.
in_xvfb() {
  if [ -z "${KRAYLO_XVFB_INSIDE:-}" ]; then
    command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
      { echo "SKIP: xvfb-run or xdotool is missing"; exit 77; }
    # A display number away from other X servers started at the same time.
    # -noreset: an X server resets when its last client leaves and turns clients away meanwhile;
    # without a window manager every xdpyinfo or xdotool is the last client, and a program started
    # right after one found no display.
    exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "${xvfb_options:-} -noreset -screen 0 ${1}x24" \
      env KRAYLO_XVFB_INSIDE=1 "$0" "${@:2}"
  fi
  unset SDL_VIDEODRIVER
  probe=$(realpath "$2") session=$3 work=$4
  rm -rf "$work" && mkdir -p "$work"
  if [ "$session" = openbox ]; then start_window_manager; fi
  read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { sub("x", " ", $2); print $2 }')
  scale=$(awk -v w=$screen_w -v h=$screen_h 'BEGIN { print w / 800 < h / 600 ? w / 800 : h / 600 }')
}

# Stops the test, showing the logs of the work folder.
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do [ -f "$log" ] && sed "s|^|  ${log##*/}: |" "$log" >&2; done
  exit 1
}
check() { eval "$2" || fail "expected $1"; }  # what, condition
# Waits up to 10 s for a condition to hold.
wait_until() {  # what, condition
  for _ in $(seq 100); do eval "$2" && return 0; sleep 0.1; done
  fail "expected $1 within 10 s"
}
# Waits up to $2 seconds for process $1 to end and sets `status` to its exit status.
wait_exit() {
  local end=$(($(date +%s%3N) + $2 * 1000))
  while kill -0 "$1" 2>/dev/null; do
    [ "$(date +%s%3N)" -le $end ] || { kill "$1"; fail "still running $2 s later"; }
    sleep 0.02
  done
  status=0
  wait "$1" || status=$?
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# The Kraylo window's client area on the screen: "x y width height" (xwininfo, because xdotool
# counts a window manager's frame into the position).
kraylo_geometry() {
  local window
  window=$(xdotool search --name '^Kraylo$' 2>/dev/null | head -1)
  # Without an id xwininfo would wait for a click on some window.
  [ -n "$window" ] || return 0
  xwininfo -id "$window" 2>/dev/null | awk '
    /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
# Waits until the Kraylo window covers the screen: before that the start-up window shows, and its
# log box lights up where the frame's menu buttons will be.
wait_full_screen() {
  wait_until "the game full screen" '[ "$(kraylo_geometry | cut -d" " -f3-)" = "$screen_w $screen_h" ]'
}
shoot() { import -window root "$work/$1.png" && echo "$work/$1.png"; }
# Copies a program (default: the one under test) and its data folder into folder $1 (default:
# the work folder), so that it runs there as from an unpacked archive. A Windows program (.exe)
# takes the font beside it and the portable mark along, as its zip has them, and runs under Wine
# (run_command); a wine server of an earlier program knows another display, so it must end first.
copy_program() {  # [folder] [program]
  local folder=${1:-$work} program=${2:-$probe}
  mkdir -p "$folder"
  cp -r "$(dirname "$program")/dorvane" "$folder/dorvane"
  if [[ $program == *.exe ]]; then
    cp "$program" "$(dirname "$program")/tahoma.ttf" "$folder/"
    touch "$folder/portable.txt"
    wineserver --wait
  else
    cp "$program" "$folder/kraylo"
  fi
}
# The command that starts a program copied by copy_program, from its folder.
run_command() {  # [program]
  if [[ ${1:-$probe} == *.exe ]]; then echo "wine ./kraylo.exe"; else echo "./kraylo"; fi
}
# Gives the Kraylo window the keyboard focus: keys reach a Wine window only once it has it.
focus_kraylo() {
  local window
  window=$(xdotool search --name '^Kraylo$' 2>/dev/null | head -1)
  [ -z "$window" ] || xdotool windowfocus --sync "$window" 2>/dev/null || true
}
# Ends program $1 with Esc held on its focused window; waits up to $2 seconds and sets `status`.
end_with_escape() {  # pid, seconds
  focus_kraylo
  xdotool keydown Escape
  wait_exit "$1" "$2"
  xdotool keyup Escape
}
# Whether screenshot $1 shows the menu: every one of its five buttons lit.
menu_shown() {
  local top
  for top in 250 290 330 370 410; do above $(lit_share "$1" 340 $((top + 5)) 120 22) 0.5 || return 1; done
}
# Waits until the share (0 to 1) of lit pixels in a frame rectangle of a new screenshot is above
# $2: screenshot name, share, rectangle (left top width height).
wait_lit() {
  wait_until "$1: $3 $4 $5 $6 lit" "above \$(lit_share \$(shoot $1) $3 $4 $5 $6) $2"
}
# Clicks at frame position ($1, $2).
click_frame() { xdotool mousemove $(to_screen "$1" "$2") sleep 0.2 click 1; }
# Screen position "x y" of frame position ($1, $2).
to_screen() {
  awk -v x="$1" -v y="$2" -v s="$scale" -v w="$screen_w" -v h="$screen_h" \
    'BEGIN { printf "%d %d\n", (w - 800 * s) / 2 + x * s, (h - 600 * s) / 2 + y * s }'
}
# The colour "r g b" (0 to 255) of image $1 at ($2, $3).
pixel() {
  local at="p{$2,$3}"
  convert "$1" -format "%[fx:round(255*$at.r)] %[fx:round(255*$at.g)] %[fx:round(255*$at.b)]" info:
}
# The screen rectangle "WxH+X+Y" (ImageMagick's geometry) of a frame rectangle: left top width
# height.
screen_rect() {
  awk -v s="$scale" -v w="$3" -v h="$4" -v at="$(to_screen "$1" "$2" | tr ' ' +)" \
    'BEGIN { printf "%dx%d+%s\n", w * s, h * s, at }'
}
# Frame rectangle (left top width height: $2 to $5) of screenshot $1 in grey, measured by the
# rest of the arguments.
measure() {
  convert "$1" -crop "$(screen_rect "$2" "$3" "$4" "$5")" +repage -colorspace Gray "${@:6}" info:
}
lit_share() { measure "$@" -threshold 6% -format "%[fx:mean]"; }  # of pixels not black
brightest() { measure "$@" -format "%[fx:maxima]"; }              # grey level, 0 to 1
# The lines of bright green text (the game's messages) in frame rectangle $2..$5 of screenshot $1:
# runs of screen rows holding some.
green_lines() {
  local rect rows
  rect=$(screen_rect "$2" "$3" "$4" "$5")
  rows=${rect#*x} && rows=${rows%%+*}
  convert "$1" -crop "$rect" +repage -fx 'g > 0.7 && r < 0.3 && b < 0.3' -scale "1x$rows!" txt:- |
    awk -F'[(,)]' 'NR > 1 { lit = $3 + 0 > 0 } NR > 1 && lit && !was { n++ } NR > 1 { was = lit }
                   END { print n + 0 }'
}
