#!/usr/bin/env bash
# The host's waiting screen with a router that maps ports: fakes of the tests' own on 127.0.0.1
# (fake_router), reached through KRAYLO_TEST_ROUTER, once mapping by UPnP and once by NAT-PMP
# (the UPnP router refusing). Runs in a network namespace of its own with only `lo`
# (tests/offline.sh), so nothing reaches beyond this machine and no address for a player on this
# network is known: the screen then says "Waiting for the other player" and, once the router has
# mapped the port with an hour's lease, the address for a player elsewhere (203.0.113.7:PORT) on
# one line. Esc ends the host with status 0, and the mapping is removed on the way out.
# Usage: tests/offline.sh port_mapping.sh <kraylo(.exe)> <openbox|bare> <work folder> <fake_router>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
in_xvfb 1280x720 "$@"
router_tool=$(realpath "$4")
copy_program "$work/host"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT

for protocol in upnp natpmp; do
  status_file=$work/$protocol.txt
  "$router_tool" "$status_file" 100 $protocol >"$work/$protocol-url" 2>"$work/$protocol.log" &
  router=$!
  pids+=($router)
  wait_until "the $protocol router's address" '[ -s "$work/$protocol-url" ]'
  port=$((20000 + RANDOM % 20000))
  (cd "$work/host" && KRAYLO_TEST_ROUTER=$(head -1 "$work/$protocol-url") exec $(run_command) \
    --host $port >"$work/host-$protocol.log" 2>&1) &
  pid=$!
  pids+=($pid)

  wait_lit $protocol-menu 0.5 340 255 120 22
  click_frame 400 260
  wait_until "$protocol: the mapping asked for with an hour's lease" \
    "grep -qx 'lease 3600' '$status_file'"
  # The lines a quarter of the way down: "Waiting for the other player", the address elsewhere
  # (a refusal would take two lines more).
  wait_until "$protocol: two lines of text on the waiting screen" \
    '[ "$(green_lines "$(shoot $protocol-waiting)" 0 40 800 260)" = 2 ]'
  sleep 0.5
  check "$protocol: no more lines after the router's answer" \
    '[ "$(green_lines "$(shoot $protocol-waiting-later)" 0 40 800 260)" = 2 ]'
  end_with_escape $pid 5
  check "$protocol: exit status 0 ($status)" '[ $status = 0 ]'
  # NAT-PMP asks again when its answer is slow to be read, so a removal may come twice.
  wait_until "$protocol: the mapping removed" "grep -Eqx 'removals [1-9][0-9]*' '$status_file'"
  kill $router
done
echo "PASS: the host's waiting screen gives the address a router mapped by UPnP and by NAT-PMP," \
  "under $session"
