#!/usr/bin/env bash
# Installs Kraylo from the build into a staging folder (DESTDIR), checks the desktop entry, the
# AppStream file and the icons, then starts the installed program on a real X server as a user
# who cannot write the prefix, with a fresh home folder: it shows the menu and ends on Esc with
# status 0, writes nothing into the prefix, and a bad configuration in ~/.config/kraylo/ is
# reported against that file. The work folder is made one only its owner can enter (as a root
# user's home is), so the other user's files must be staged where that user can reach them.
# Usage: installed.sh <build folder> <openbox|bare> <work folder>
set -euo pipefail
source "$(dirname "$0")/checks.sh"
# The program runs as another user, who needs the X server without its owner's key.
xvfb_options=-ac
in_xvfb 1024x768 "$@"
build=$probe
chmod 700 "$work"
# What the other user runs and writes: a folder that user can enter, removed at the end.
shared=$(mktemp -d /tmp/kraylo-installed.XXXXXX)
chmod 755 "$shared"
trap 'chmod -R u+w "$shared"; rm -rf "$shared"' EXIT
stage=$shared/stage
home=$shared/home

DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log"
prefix=$stage/usr
check "the program in bin/" "[ -x '$prefix/bin/kraylo' ]"
check "the data folder in share/kraylo/" "[ -f '$prefix/share/kraylo/dorvane/graph/balls.bmp' ]"
check "a manual page" "[ -f '$prefix/share/man/man6/kraylo.6.gz' ]"
desktop-file-validate "$prefix/share/applications/io.kraylo.Kraylo.desktop" ||
  fail "a valid desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/io.kraylo.Kraylo.metainfo.xml" \
  >"$work/appstream.log" || fail "valid AppStream metadata"
for size in 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x$size/apps/io.kraylo.Kraylo.png
  check "a ${size} px icon" "[ \"\$(identify -format %wx%h '$icon')\" = ${size}x$size ]"
done
check "a scalable icon" "[ -s '$prefix/share/icons/hicolor/scalable/apps/io.kraylo.Kraylo.svg' ]"

# A user who cannot write the prefix: root runs the program as nobody, anyone else as themself.
chmod -R a-w "$stage"
mkdir -p "$home"
as_player=()
if [ "$(id -u)" = 0 ]; then
  chown nobody "$home"
  as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
play() {  # log name, then arguments
  (cd "$home" && exec "${as_player[@]}" env HOME="$home" "$prefix/bin/kraylo" "${@:2}" \
    >"$work/$1.log" 2>&1) &
  pid=$!
}
touch "$work/before"
play menu
trap 'kill $pid 2>/dev/null || true; chmod -R u+w "$shared"; rm -rf "$shared"' EXIT
wait_lit menu 0.5 340 255 120 22
# Task bars match the running window to the desktop entry by its class, and show its icon.
window=$(xdotool search --name '^Kraylo$' | head -1)
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/io.kraylo.Kraylo.desktop")
check "the window class the entry names ('$wm_class')" \
  "xprop -id $window WM_CLASS | grep -q '= \"$wm_class\", \"$wm_class\"\$'"
check "an icon on the window" "xprop -id $window _NET_WM_ICON | grep -q 'Icon (64 x 64)'"
xdotool key Escape
wait_exit $pid 5
check "exit status 0 ($status)" '[ $status = 0 ]'
check "nothing written into the prefix" "[ -z \"\$(find '$stage' -newer '$work/before')\" ]"

# The user's own configuration wins, and a bad one is reported against that file.
config=$home/.config/kraylo/config.cfg
mkdir -p "$(dirname "$config")"
printf '[Screen]\r\ndispX=\r\n' >"$config"
[ "$(id -u)" = 0 ] && chown -R nobody "$home/.config"
play bad-config
# The report waits in its message box until it is answered.
wait_until "the error report" "grep -q 'run-time error' '$work/bad-config.log'"
sleep 1
xdotool key Return
wait_exit $pid 10
check "a bad configuration ends with status 1 ($status)" '[ $status = 1 ]'
check "the error names the user's file" "grep -q 'of $config ends inside' '$work/bad-config.log'"
echo "PASS: installed, validated, played from a read-only prefix under $session"
