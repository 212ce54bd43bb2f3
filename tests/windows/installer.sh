#!/usr/bin/env bash
# The Windows installer under Wine: a silent install (/S) puts the program under Program Files with
# its Start-menu entries and its entry in the list of installed programs; the installed program
# shows the menu, reads the player's configuration from %APPDATA% and logs into %LOCALAPPDATA%;
# the silent uninstaller takes all of it away again.
# Usage: installer.sh <installer.exe> <openbox|bare> <work folder>   (WINEPREFIX: a made prefix)
set -euo pipefail
source "$(dirname "$0")/../xvfb/checks.sh"
in_xvfb 1280x720 "$@"
wineserver --wait
folder="$WINEPREFIX/drive_c/Program Files/Kraylo"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kraylo"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kraylo'
rm -rf "$folder" "$menu"

wine "$probe" /S >"$work/install.log" 2>&1
check "the program installed" "[ -f '$folder/kraylo.exe' ] && [ -f '$folder/dorvane/config.cfg' ]"
check "the font and the licences beside it" \
  "[ -f '$folder/tahoma.ttf' ] && [ -f '$folder/LICENSE.txt' ] && [ -f '$folder/tahoma-licence.txt' ]"
check "no portable marker in an installed program" "[ ! -e '$folder/portable.txt' ]"
for entry in Kraylo "Play against the computer" "Host a network game" "Join a network game" \
  "Watch a network game"; do
  check "the Start-menu entry $entry" "[ -f '$menu/$entry.lnk' ]"
done
wine reg query "$key" /v DisplayName >"$work/registry.log" 2>&1 || true
check "the entry among the installed programs" "grep -q 'Kraylo' '$work/registry.log'"

(cd "$folder" && exec wine ./kraylo.exe </dev/null >"$work/kraylo.log" 2>&1) &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_full_screen
wait_until "the installed program's menu" \
  "above \$(lit_share \$(shoot menu) 340 255 120 22) 0.5"
xdotool windowfocus --sync "$(xdotool search --name '^Kraylo$' | head -1)" keydown Escape
wait_exit $pid 5
xdotool keyup Escape
check "exit status 0 ($status)" '[ $status = 0 ]'

# The player's own configuration in %APPDATA% wins over the installed one (here with a colour depth
# the display cannot take, behind the byte-order mark Notepad writes); the error log goes to
# %LOCALAPPDATA%, not into Program Files.
user="$WINEPREFIX/drive_c/users/$(whoami)/AppData"
mkdir -p "$user/Roaming/Kraylo"
printf '\xEF\xBB\xBF[Screen]\r\ndispX = 800\r\ndispY = 600\r\ndispCols = 8\r\n' \
  >"$user/Roaming/Kraylo/config.cfg"
rm -rf "$user/Local/Kraylo"
(cd "$folder" && exec wine ./kraylo.exe </dev/null >"$work/kraylo-bad-depth.log" 2>&1) &
pid=$!
wait_until "Debug.txt in %LOCALAPPDATA%" "[ -s '$user/Local/Kraylo/Debug.txt' ]"
kill $pid
wait $pid 2>/dev/null || true
check "the failure logged ($(cat "$user/Local/Kraylo/Debug.txt"))" \
  "grep -q 'Error -1002' '$user/Local/Kraylo/Debug.txt'"
check "no Debug.txt in Program Files" "[ ! -e '$folder/Debug.txt' ]"
cp "$user/Local/Kraylo/Debug.txt" "$work/" && rm -rf "$user/Roaming/Kraylo" "$user/Local/Kraylo"

# The uninstaller copies itself away and goes on from there: wait for it to finish.
wine "$folder/Uninstall.exe" /S >"$work/uninstall.log" 2>&1
wait_until "the program folder removed" "[ ! -e '$folder' ]"
check "the Start-menu entries removed" "[ ! -e '$menu' ]"
wine reg query "$key" >"$work/registry-after.log" 2>&1 && fail "the registry entry is still there" || true
echo "PASS: the installer and uninstaller under Wine, the installed program showing its menu"
