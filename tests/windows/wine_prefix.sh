#!/usr/bin/env bash
# The Wine prefix the Windows tests share (WINEPREFIX): `start` makes it when missing and keeps a
# wine server running for ten minutes after its last program; `stop` ends that server.
set -euo pipefail
case "$1" in
  start)
    # A server left from an earlier program of this prefix would end a few seconds after it.
    wineserver --kill 2>/dev/null || true
    # The server and the services wineboot starts live on: they must not hold the test's output
    # open, or the test would wait for them.
    log=$WINEPREFIX.log
    wineserver --persistent=600 </dev/null >"$log" 2>&1
    wineboot --init </dev/null >>"$log" 2>&1 || { cat "$log"; exit 1; }
    ;;
  stop) wineserver --kill || true ;;
esac
