#!/usr/bin/env bash
# Stages the Windows program folder and packs it: the NSIS installer and the portable zip.
# Usage: pack.sh <kraylo.exe> <strip> <source folder> <stage folder> <installer script> <zip>
set -euo pipefail
exe=$1 strip=$2 source=$3 stage=$4 script=$5 zip=$6
portable=$(basename "$zip" .zip)
rm -rf "$stage" && mkdir -p "$stage"
"$strip" -o "$stage/kraylo.exe" "$exe"
cp -r "$source/dorvane" "$stage/dorvane"
# fonts-wine's Tahoma-compatible face, for machines without Tahoma, with its licence (LGPL).
cp /usr/share/wine/fonts/tahoma.ttf "$stage/"
{ cat /usr/share/doc/fonts-wine/copyright; echo; cat /usr/share/common-licenses/LGPL-2.1; } \
  >"$stage/tahoma-licence.txt"
cp "$source/LICENSE" "$stage/LICENSE.txt"

makensis -V2 "-XTarget amd64-unicode" "$script"

# The portable folder: the same files, and the marker that keeps the player's files beside them.
mkdir "$stage/$portable"
cp -r "$stage/kraylo.exe" "$stage/dorvane" "$stage/tahoma.ttf" "$stage"/*.txt "$stage/$portable/"
touch "$stage/$portable/portable.txt"
rm -f "$zip"
(cd "$stage" && zip -qr9 "$zip" "$portable")
