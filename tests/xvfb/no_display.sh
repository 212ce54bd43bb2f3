#!/usr/bin/env bash
# Kraylo started where there is no display (a text console, a remote shell without X): it says so
# on stderr, with how to get one, and ends with a non-zero status at once, instead of running
# unseen on one of SDL's drivers that draw into memory only.
# Usage: no_display.sh <kraylo executable> <work folder>
set -euo pipefail
probe=$(realpath "$1") work=$2
rm -rf "$work" && mkdir -p "$work"
cp "$probe" "$work/kraylo"
cp -r "$(dirname "$probe")/dorvane" "$work/dorvane"
fail() { echo "FAIL: $*" >&2; sed 's/^/  kraylo.log: /' "$work/kraylo.log" >&2; exit 1; }

# No display at all; and an X display asked for by name that is not there.
for driver in "" x11; do
  settings=(-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER)
  [ -n "$driver" ] && settings+=("SDL_VIDEODRIVER=$driver")
  status=0
  (cd "$work" && exec env "${settings[@]}" timeout 20 ./kraylo) >"$work/kraylo.log" 2>&1 || status=$?
  [ $status != 0 ] || fail "exit status 0 without a display (driver '${driver}')"
  [ $status != 124 ] || fail "still running 20 s later (driver '${driver}')"
  grep -q "There is no display to show the game on" "$work/kraylo.log" || fail "no word of the display"
  grep -q "DISPLAY" "$work/kraylo.log" || fail "no word of how to get one"
done
[ ! -e "$work/Debug.txt" ] || fail "a Debug.txt was written"
echo "PASS: no display, a clear word and status $status"
