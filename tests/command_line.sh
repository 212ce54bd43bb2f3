#!/usr/bin/env bash
# The program's command line as a player meets it: every bad --computer value, and --computer in
# a network game, ends the program at once with status 2, a message saying what is wrong and the
# usage text, before any window opens.
# Usage: command_line.sh <kraylo executable>
set -uo pipefail
kraylo=$1
failures=0
expect_usage_error() {  # message, arguments...
  local message=$1 out status
  shift
  out=$(SDL_VIDEODRIVER=none "$kraylo" "$@" 2>&1)
  status=$?
  if [ $status != 2 ] || [[ $out != "kraylo: $message"* ]] || [[ $out != *"--computer [LEVEL]"* ]]; then
    echo "FAIL: kraylo $* gave status $status and: $out" >&2
    failures=$((failures + 1))
  fi
}
expect_usage_error '--computer takes easy, normal or hard, not "medium"' --computer medium
expect_usage_error '--computer takes easy, normal or hard, not "Hard"' --computer Hard
expect_usage_error '--computer takes easy, normal or hard, not ""' --computer=
expect_usage_error 'unexpected argument "easy"' --computer hard easy
expect_usage_error '--computer is given more than once' --computer --computer=easy
expect_usage_error '--computer cannot go with --host or --join' --computer --host
expect_usage_error '--computer cannot go with --host or --join' --join 127.0.0.1 --computer easy
help=$("$kraylo" --help)
[[ $help == *"--computer [LEVEL]"*"easy, normal or hard"* ]] || {
  echo "FAIL: --help does not list --computer: $help" >&2
  failures=$((failures + 1))
}
[ $failures = 0 ] && echo "PASS: bad --computer values and --computer online are usage errors with status 2"
exit $((failures > 0))
