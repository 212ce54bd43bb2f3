#!/usr/bin/env bash
# The simulation's golden table: the generated games of cross_games, their checksums at every
# checkpoint and the bytes of their replay files, as this build computes them, against the table
# kept beside this script. A change of the game's arithmetic, however small, changes the table;
# moving or renaming code must not.
# Usage: golden.sh <cross_games executable> <work folder>
set -euo pipefail
cross_games=$1 work=$2
expected=$(dirname "$0")/checksums.txt
rm -rf "$work" && mkdir -p "$work/replays"
{
  "$cross_games" "$work/replays"
  (cd "$work/replays" && sha256sum -- *.krp)
} >"$work/checksums.txt"
if ! diff -u "$expected" "$work/checksums.txt" >"$work/differences.txt"; then
  echo "FAIL: the games differ from the golden table:" >&2
  head -20 "$work/differences.txt" >&2
  exit 1
fi
echo "PASS: $(wc -l <"$expected") lines of the golden table hold"
