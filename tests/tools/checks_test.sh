#!/usr/bin/env bash
# The layer and style checks against small trees of their own: a clean tree passes, and each
# planted fault fails with its own message. Seconds, not a copy of the real tree.
# Usage: checks_test.sh <source tree> <work folder>
set -euo pipefail
source_tree=$(realpath "$1")
work=$2
checks=$source_tree/tools/checks
rm -rf "$work" && mkdir -p "$work"
failures=0

# A tree with a contract, a backend, a folder of devices, the game and the shell, as a git
# repository whose compile database lists every tracked .cpp file but those named orphan*. Each
# header names itself: the compiler takes headers of the same text for one.
make_tree() {  # folder
  local tree=$1
  mkdir -p "$tree"/{platform/sdl,platform/devices,game,shell,net}
  cd "$tree"
  printf '// The contract.\n#pragma once\n' >platform/platform.h
  printf '#include "platform/platform.h"\n' >platform/devices/core.cpp
  printf '// A backend.\n#pragma once\n#include "platform/platform.h"\n' >platform/sdl/sdl_system.h
  printf '#include "platform/sdl/sdl_system.h"\n\n#include <SDL.h>\n' >platform/sdl/sdl_system.cpp
  printf '// The balls.\n#pragma once\n#include "platform/platform.h"\n' >game/balls.h
  printf '#include "game/balls.h"\n' >game/balls.cpp
  printf '// The screens.\n#pragma once\n' >shell/screens.h
  printf '#include "game/balls.h"\n#include "platform/sdl/sdl_system.h"\n#include "shell/screens.h"\n' \
    >shell/main.cpp
  printf 'int Half(int value) { return value / 2; }\n' >net/packet.cpp
  cp "$source_tree/.clang-format" .
  sed "s|^HeaderFilterRegex: .*|HeaderFilterRegex: '/(game\|net\|platform\|shell)/'|" \
    "$source_tree/.clang-tidy" >.clang-tidy
  cd - >/dev/null
}

# Tracks the tree's files and writes the compile database of build/.
index_tree() {  # folder
  local tree=$1 file first=true
  git -C "$tree" init -q 2>/dev/null || true
  git -C "$tree" add -A
  mkdir -p "$tree/build"
  {
    echo "["
    for file in $(git -C "$tree" ls-files '*.cpp' | grep -v '/orphan'); do
      $first || echo ","
      first=false
      printf '{"directory": "%s", "command": "c++ -std=c++20 -I%s -I/usr/include/SDL2 -c %s -o %s.o", "file": "%s"}' \
        "$tree/build" "$tree" "$tree/$file" "${file//\//_}" "$tree/$file"
    done
    echo "]"
  } >"$tree/build/compile_commands.json"
}

# Runs a check on a fresh tree changed by `change`; it must fail and say `expected`, or pass
# when `expected` is empty.
expect() {  # name, check (layers|style), change (shell code run in the tree), expected
  local tree=$work/$1 output status=0
  make_tree "$tree"
  (cd "$tree" && eval "$3")
  index_tree "$tree"
  if [ "$2" = layers ]; then
    output=$("$checks/check-layers" --all-builds --tree "$tree" "$tree/build" 2>&1) || status=$?
  else
    output=$("$checks/check-style" --tree "$tree" "$tree/build" 2>&1) || status=$?
  fi
  if [ -z "$4" ] && [ $status != 0 ]; then
    echo "FAIL: $1: the clean tree did not pass $2:"$'\n'"$output"
    failures=$((failures + 1))
  elif [ -n "$4" ] && { [ $status = 0 ] || ! grep -qF -- "$4" <<<"$output"; }; then
    echo "FAIL: $1: expected $2 to fail with '$4' (status $status):"$'\n'"$output"
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}

expect clean layers ":" ""
expect indented layers "sed -i '1i\\  #include \"shell/screens.h\"' game/balls.cpp" \
  "game/balls.cpp includes shell/screens.h: shell/ (layer 5) is not below game/ (layer 2)"
expect spaced layers "sed -i '1i# include \"shell/screens.h\"' game/balls.cpp" \
  "game/balls.cpp includes shell/screens.h"
expect tab layers "sed -i '1i#include\\t\"shell/screens.h\"' game/balls.cpp" \
  "game/balls.cpp includes shell/screens.h"
expect unmapped layers "mkdir extra && echo 'int x;' >extra/thing.cpp" "extra/ has no layer"
expect backend-in-devices layers "echo '#include \"platform/sdl/sdl_system.h\"' >>platform/devices/core.cpp" \
  "platform/devices/core.cpp includes platform/sdl/sdl_system.h: only the sdl backend"
expect sdl-in-game layers "echo '#include <SDL.h>' >>game/balls.cpp" "game/balls.cpp includes SDL"
expect uncompiled layers "echo 'int y;' >game/orphan.cpp" "game/orphan.cpp: no build compiles it"
expect style-clean style ":" ""
expect tidy-in-net style "echo 'double Ratio(int a, int b) { return a / b; }' >>net/packet.cpp" \
  "net/packet.cpp"
expect filter-without-net style "sed -i 's/game|net|/game|/' .clang-tidy" \
  "is not the code folders'"

# A file found clean is checked again when a header only it includes changes, whether the build
# has compiled it since (its dependency file lists the new text) or not (it is older).
for rebuilt in yes no; do
  tree=$work/header-changed-rebuilt-$rebuilt && make_tree "$tree"
  printf '#pragma once\n' >"$tree/game/ratio.h" && printf '\n#include "game/ratio.h"\n' >>"$tree/game/balls.cpp"
  index_tree "$tree"
  compile="c++ -std=c++20 -I$tree -c $tree/game/balls.cpp -o game_balls.cpp.o -MD -MF game_balls.cpp.o.d"
  (cd "$tree/build" && $compile) && "$checks/check-style" --tree "$tree" "$tree/build" >/dev/null 2>&1
  echo 'inline double Ratio(int a, int b) { return a / b; }' >>"$tree/game/ratio.h" && sleep 0.01
  if [ $rebuilt = yes ]; then (cd "$tree/build" && $compile); fi
  if "$checks/check-style" --tree "$tree" "$tree/build" >/dev/null 2>&1; then
    echo "FAIL: header-changed-rebuilt-$rebuilt: clang-tidy did not find the header's fault"
    failures=$((failures + 1))
  else echo "ok: header-changed-rebuilt-$rebuilt"; fi
done

if [ $failures -gt 0 ]; then
  echo "$failures check(s) did not catch their fault"
  exit 1
fi
echo "PASS: every planted fault is caught"
