#!/usr/bin/env bash
# Cross-play of the simulation: the same generated games (tests/helpers/cross_games.cpp) give
# the same checksum at every checkpoint in the native build and in the Windows build under Wine,
# and each build's --check-replay accepts the other's replay files with the same final checksum.
# Usage: cross_play.sh <native build> <Windows build> <work folder>   (WINEPREFIX: a made prefix)
set -euo pipefail
native=$1 windows=$2 work=$3
rm -rf "$work" && mkdir -p "$work/native" "$work/windows"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$native/tests/helpers/cross_games" "$work/native" >"$work/native.txt"
# Windows ends its printed lines with CR LF.
wine "$windows/tests/helpers/cross_games.exe" "$work/windows" | tr -d '\r' >"$work/windows.txt"
diff "$work/native.txt" "$work/windows.txt" >"$work/differences.txt" ||
  fail "the builds computed different games: $(head -4 "$work/differences.txt")"
[ -s "$work/native.txt" ] || fail "no games were played"

# --check-replay's summary (after the file's name) from each build, for each build's files.
summary() { "$@" | tr -d '\r' | sed 's/^[^:]*: //'; }
for file in "$work"/native/*.krp "$work"/windows/*.krp; do
  here=$(summary "$native/shell/kraylo" --check-replay "$file") || fail "native: $here"
  there=$(summary wine "$windows/shell/kraylo.exe" --check-replay "$file") || fail "Windows: $there"
  [ "$here" = "$there" ] || fail "${file#$work/}: native says \"$here\", Windows \"$there\""
  echo "${file#$work/}: $here"
done
echo "PASS: $(grep -c ' end ' "$work/native.txt") generated games, the same on both builds"
