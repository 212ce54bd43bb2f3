#!/usr/bin/env python3
"""The frame's pixel loops are compiled at -O3 in every optimised build, so that the default build
type (RelWithDebInfo, -O2) and a distribution's own -O2 draw frames as fast as Release: read from
the build's compile database, where the last -O option is the one the compiler takes.
Usage: optimised_loops.py BUILD_FOLDER
Exit status 0 when they are, 1 when not, 77 (skipped) in a build that does not optimise."""

import json
import os
import shlex
import sys

PIXEL_LOOPS = ["platform/surface.cpp", "platform/sdl/frame_copy.cpp"]
# A file of the same library at the build's own level, which tells an optimised build.
NEIGHBOUR = "platform/graphics/letterbox.cpp"


def level(entry):
    arguments = entry.get("arguments") or shlex.split(entry["command"])
    levels = [argument for argument in arguments if argument.startswith("-O")]
    return levels[-1] if levels else "-O0"


def main():
    with open(os.path.join(sys.argv[1], "compile_commands.json"), encoding="utf-8") as file:
        entries = json.load(file)
    levels = {}
    for entry in entries:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        for wanted in PIXEL_LOOPS + [NEIGHBOUR]:
            if path.endswith("/" + wanted):
                levels[wanted] = level(entry)
    missing = [path for path in PIXEL_LOOPS + [NEIGHBOUR] if path not in levels]
    if missing:
        print(f"not in the compile database: {', '.join(missing)}")
        return 1
    if levels[NEIGHBOUR] in ("-O0", "-Og"):
        print(f"the build does not optimise ({NEIGHBOUR}: {levels[NEIGHBOUR]})")
        return 77
    wrong = [f"{path}: {levels[path]}" for path in PIXEL_LOOPS if levels[path] != "-O3"]
    for line in wrong:
        print(f"a pixel loop is not compiled at -O3 ({line}; the build's own level is "
              f"{levels[NEIGHBOUR]})")
    if not wrong:
        print(f"the pixel loops at -O3, the rest at {levels[NEIGHBOUR]}")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
