#!/usr/bin/env bash
# Runs a command in a network namespace of its own that has nothing but `lo` (up): whatever it
# sends beyond 127.0.0.1 (a router's discovery, a name server's question) finds no route and
# leaves nothing.
# Usage: offline.sh COMMAND [ARGUMENT]...
set -euo pipefail
exec unshare -n -- sh -c 'ip link set lo up && exec "$@"' offline "$@"
