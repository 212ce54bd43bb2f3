#!/usr/bin/env bash
# The sound of a real game: records a game against the computer on a real X server, then shows the
# recording with --replay through SDL's disk audio driver, which writes the mixed output to a file.
# The contacts, drops and rounds found from the recording's states (replay_events) must each have
# sound in their window, and there must be silence away from them (tests/helpers/sound-timing,
# which also plots the loudness over time with the events marked: sound.png). The same replay with
# no audio device runs silent and says so in its log. With a fifth program (the Windows build's
# kraylo.exe) the game is recorded by the first and heard, and run silent, through the fifth under
# Wine.
# Usage: sound.sh <kraylo executable> <openbox|bare> <work folder> <replay_events executable>
#                 [<replaying kraylo.exe>]   (WINEPREFIX: a made prefix)
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1024x768 "$@"
events_tool=$(realpath "$4")
copy_program
# The replaying program and its folder: the recording program's own, or the Windows one's.
# Wine takes a few seconds more to start.
player=$probe player_folder=$work start_time=3
if [ -n "${5:-}" ]; then
  player=$(realpath "$5") player_folder=$work/windows start_time=6
  copy_program "$player_folder" "$player"
fi
# A game: the computer at hard pushes ball 1 about and over the edges; ball 1 sometimes pushes back.
(cd "$work" && SDL_AUDIODRIVER=dummy exec ./kraylo --computer hard --record game.krp \
  >"$work/record.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_until "the menu" "above \$(lit_share \$(shoot menu) 340 255 120 22) 0.5"
xdotool mousemove $(to_screen 400 260) sleep 0.2 click 1
for key in Right Up Left Down Right Left; do
  sleep 2.5
  xdotool keydown $key sleep 0.4 keyup $key
done
sleep 3
end_with_escape $pid 5
check "the recording ends with status 0 ($status)" '[ $status = 0 ]'
"$events_tool" "$work/game.krp" >"$work/events.txt"
check "the game has contacts and drops" "grep -q contact '$work/events.txt' && grep -q drop '$work/events.txt'"
ticks=$("$work/kraylo" --check-replay "$work/game.krp" | sed -n 's/.*1 game, \([0-9]*\) ticks.*/\1/p')

# The replay, heard through the disk driver.
[ "$player_folder" = "$work" ] || cp "$work/game.krp" "$player_folder/"
(cd "$player_folder" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=sound.raw \
  exec $(run_command "$player") --replay game.krp >"$work/replay.log" 2>&1) &
pid=$!
sleep "$(awk -v t="$ticks" -v s=$start_time 'BEGIN { print t * 0.03 + s }')"
shoot replay-end >/dev/null
end_with_escape $pid 5
check "the replay ends with status 0 ($status)" '[ $status = 0 ]'
"$(dirname "$0")/../helpers/sound-timing" "$player_folder/sound.raw" "$work/events.txt" "$work/sound.png" \
  >"$work/windows.log" 2>&1 || fail "sound in every event's window and nowhere else"
cat "$work/windows.log"

# No audio device at all: the replay plays silent, and the log says why.
(cd "$player_folder" && SDL_AUDIODRIVER=none-such exec $(run_command "$player") --replay game.krp \
  >"$work/silent.log" 2>&1) &
pid=$!
sleep $start_time
shoot silent >/dev/null
check "the silent run is still running" "kill -0 $pid"
end_with_escape $pid 5
check "the silent run ends with status 0 ($status)" '[ $status = 0 ]'
echo "PASS: a replay's sound lies in the windows of its contacts, drops and rounds under" \
  "$session${5:+ (heard under Wine)}"
