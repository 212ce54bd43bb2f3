#!/usr/bin/env bash
# Checks the service's unit as systemd reads it: `systemd-analyze verify` against a staged root
# that holds the program where the unit runs it, and `systemd-analyze security --offline` held to
# a limit of exposure (0 best, 10 worst), so that a change that loosens the hardening fails.
# Usage: check-unit.sh UNIT KRAYLO_MEET_EXECUTABLE MANUAL_PAGE STAGE_FOLDER
set -euo pipefail
unit=$1 program=$2 manual=$3 stage=$4
# In tenths, as systemd-analyze takes it: 1.2 is what the unit scores now.
limit=12
if ! command -v systemd-analyze >/dev/null; then
  echo "systemd-analyze is not installed: the unit is not checked" >&2
  exit 0
fi
rm -rf "$stage"
mkdir -p "$stage/usr/sbin" "$stage/etc/systemd/system"
cp "$program" "$stage/usr/sbin/kraylo-meet"
cp "$unit" "$stage/etc/systemd/system/kraylo-meet.service"
# The units it is ordered and wanted by, as the machine has them; its manual page, where `man`
# (which verify runs for Documentation=) finds it.
mkdir -p "$stage/usr/lib/systemd" "$stage/usr/share/man/man8"
cp -r /usr/lib/systemd/system "$stage/usr/lib/systemd/"
cp "$manual" "$stage/usr/share/man/man8/"
export MANPATH=$stage/usr/share/man
# verify names what it dislikes on standard error and still succeeds for some: any output fails.
out=$(systemd-analyze verify --root="$stage" "$stage/etc/systemd/system/kraylo-meet.service" 2>&1) || {
  echo "$out" >&2
  exit 1
}
if [ -n "$out" ]; then
  echo "$out" >&2
  exit 1
fi
systemd-analyze security --offline=yes --root="$stage" --threshold="$limit" --no-pager \
  "$stage/etc/systemd/system/kraylo-meet.service" | tail -1
