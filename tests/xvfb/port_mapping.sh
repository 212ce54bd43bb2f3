#!/usr/bin/env bash
# The host's waiting screen with a router that maps ports: a fake one of the tests' own on
# 127.0.0.1 (fake_router), reached through KRAYLO_TEST_ROUTER. Runs in a network namespace of its
# own with only `lo` (started by `unshare -n`), so nothing reaches beyond this machine and no
# address for a player on this network is known: the screen then says "Waiting for the other
# player" and, once the router has mapped the port with an hour's lease, the address for a player
# elsewhere (203.0.113.7:PORT) on one line. Esc ends the host with status 0, and the mapping is
# removed on the way out.
# Usage: unshare -n port_mapping.sh <kraylo(.exe)> <openbox|bare> <work folder> <fake_router>
set -euo pipefail
[ -n "${KRAYLO_XVFB_INSIDE:-}" ] || ip link set lo up
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
router_tool=$(realpath "$4")
copy_program "$work/host"
port=$((20000 + RANDOM % 20000))

"$router_tool" "$work/router.txt" 100 >"$work/router-url" 2>"$work/router.log" &
router=$!
trap 'kill $router 2>/dev/null || true' EXIT
wait_until "the router's address" '[ -s "$work/router-url" ]'
(cd "$work/host" && KRAYLO_TEST_ROUTER=$(head -1 "$work/router-url") exec $(run_command) \
  --host $port >"$work/host.log" 2>&1) &
pid=$!
trap 'kill $pid $router 2>/dev/null || true' EXIT

wait_lit menu 0.5 340 255 120 22
click_frame 400 260
wait_until "the mapping asked for with an hour's lease" "grep -qx 'lease 3600' '$work/router.txt'"
# The lines a quarter of the way down: "Waiting for the other player", the address elsewhere.
wait_until "two lines of text on the waiting screen" \
  '[ "$(green_lines "$(shoot waiting)" 0 40 800 260)" = 2 ]'
sleep 0.5
check "no more lines after the router's answer" \
  '[ "$(green_lines "$(shoot waiting-later)" 0 40 800 260)" = 2 ]'
focus_kraylo
xdotool keydown Escape
wait_exit $pid 5
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'
wait_until "the mapping removed" "grep -qx 'removals 1' '$work/router.txt'"
echo "PASS: the host's waiting screen gives the address a router mapped, under $session"
