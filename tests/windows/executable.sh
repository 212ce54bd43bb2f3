#!/usr/bin/env bash
# The Windows executable as Windows expects it: the GUI subsystem (no console window of its own),
# only system DLLs imported (one file, nothing to install beside it), its icon and version
# information; and --version still prints when its output goes somewhere (here a pipe, under Wine).
# Usage: executable.sh <kraylo.exe> <objdump>   (WINEPREFIX: a made prefix)
set -euo pipefail
exe=$1 objdump=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$("$objdump" -p "$exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program: $(grep Subsystem <<<"$headers")"
system='^(KERNEL32|msvcrt|ADVAPI32|GDI32|IMM32|ole32|OLEAUT32|IPHLPAPI|SETUPAPI|SHELL32|USER32|VERSION|WINMM|WS2_32)\.dll$'
while read -r dll; do
  grep -Eiq "$system" <<<"$dll" || fail "imports $dll, which is not a DLL of every Windows"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")
resources=$("$objdump" -h "$exe")
grep -q '\.rsrc' <<<"$resources" || fail "no resources (icon, version information)"
strings -el "$exe" | grep -qx 'Kraylo' || fail "no version information naming Kraylo"
version=$(wine "$exe" --version | tr -d '\r')
[[ $version == "kraylo "[0-9]* ]] || fail "--version printed \"$version\""
echo "PASS: a GUI executable with system DLLs only, its resources, and \"$version\""
