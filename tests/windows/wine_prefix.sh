#!/usr/bin/env bash
# The Wine prefix the Windows tests share (WINEPREFIX): `start` makes it when missing (about 10 s;
# a program then starts in it in about a second) and waits for its wine server to end, so that
# the next program's server starts afresh with that program's X display; `stop` ends a server
# a failed test may have left.
set -euo pipefail
case "$1" in
  start)
    # The services wineboot starts must not hold the test's output open: the test would wait.
    log=$WINEPREFIX.log
    wineboot --init </dev/null >"$log" 2>&1 || { cat "$log"; exit 1; }
    wineserver --wait
    ;;
  stop) wineserver --kill 2>/dev/null || true ;;
esac
