#!/usr/bin/env python3
"""Whether two recordings of one network game (the host's and the joiner's) agree: the same seed
and field, and the same state checksum at every checkpoint both reached (each side records only
the ticks it has confirmed, so one may stop a checkpoint or two before the other). Prints how many
agree, or the first that does not; exit status 0 when at least FEWEST_AGREEING agree.
Usage: same_game.py HOST.krp JOINER.krp"""

import struct
import sys

FEWEST_AGREEING = 2  # tick 0 and one after some play


def read(path):
    """The first game's start (seed, width, height) and its checkpoints {tick: checksum}."""
    data = open(path, "rb").read()
    if data[:8] != b"KRAYLORP":
        sys.exit(f"{path}: not a replay file")
    at, start, checkpoints = 16, None, {}
    while at < len(data):
        kind = data[at]
        if kind == 1:
            start = struct.unpack_from("<Qii", data, at + 1)
            at += 17
        elif kind == 2:
            at += 2 + data[at + 1]
        elif kind == 3:
            tick, checksum = struct.unpack_from("<II", data, at + 1)
            checkpoints[tick] = checksum
            at += 9
        elif kind == 4:
            break
        else:
            sys.exit(f"{path}: a record of type {kind} at byte {at}")
    return start, checkpoints


def main():
    (host_start, host), (join_start, join) = read(sys.argv[1]), read(sys.argv[2])
    if host_start != join_start:
        sys.exit(f"the games began differently: {host_start} and {join_start}")
    shared = sorted(set(host) & set(join))
    for tick in shared:
        if host[tick] != join[tick]:
            sys.exit(f"the checksums differ at tick {tick}: {host[tick]:08x} and {join[tick]:08x}")
    if len(shared) < FEWEST_AGREEING:
        sys.exit(f"only {len(shared)} checkpoints in both recordings")
    print(f"{len(shared)} checkpoints agree, to tick {shared[-1]}")


main()
