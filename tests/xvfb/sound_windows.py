#!/usr/bin/env python3
"""Checks the sound of a replayed game against what happened in it, and plots its loudness.

Usage: sound_windows.py <output.raw> <events.txt> <plot.png>
  output.raw  what SDL's disk audio driver wrote: 16-bit mono samples at 48 kHz
  events.txt  "<tick> <contact|drop|round>" lines, found from the replay's states (replay_events)

The output's clock (the disk driver's pace) and the game's (30 ms ticks) start apart and run at
slightly different rates, so the tick -> time line is fitted first: the rate and offset that put
the most events on a sound's start. Then every event must have sound starting in its window, and
no sound may lie outside the events' windows. Exit status 1 when either fails.
"""
import array
import math
import subprocess
import sys

RATE = 48000
BLOCK = 240  # samples: 5 ms
LOUD = 30  # a block whose largest sample is above this sounds (out of 32767)
LENGTH = {"contact": 0.14, "drop": 0.55, "round": 0.36}  # seconds each effect lasts
EARLY, LATE = 0.02, 0.06  # seconds a sound may start before and after its event's time
COLOURS = {"contact": "#3070ff", "drop": "#ff3030", "round": "#30d050"}


def blocks(path):
    samples = array.array("h")
    with open(path, "rb") as raw:
        samples.frombytes(raw.read())
    if sys.byteorder == "big":
        samples.byteswap()
    peaks, levels = [], []
    for at in range(0, len(samples) - BLOCK + 1, BLOCK):
        part = samples[at:at + BLOCK]
        peaks.append(max(abs(s) for s in part))
        levels.append(math.sqrt(sum(s * s for s in part) / BLOCK) / 32767)
    return peaks, levels


def onsets(peaks):
    return [i * BLOCK / RATE for i in range(1, len(peaks)) if peaks[i] > LOUD >= peaks[i - 1]]


def fit(events, starts):
    """The (offset, seconds per tick) that puts the most events on a sound's start."""
    best = None
    for first in starts[:8]:
        for step in range(0, 401):
            per_tick = 0.028 + step * 0.00001
            offset = first - events[0][0] * per_tick
            hits = 0
            for tick, _ in events:
                at = offset + tick * per_tick
                hits += any(at - EARLY <= s <= at + LATE for s in starts)
            if best is None or hits > best[0]:
                best = (hits, offset, per_tick)
    return best[1], best[2]


def main():
    raw, events_path, plot = sys.argv[1:4]
    peaks, levels = blocks(raw)
    events = [(int(t), kind) for t, kind in (line.split() for line in open(events_path))]
    if not events:
        sys.exit("no contacts or drops in the replay")
    starts = onsets(peaks)
    offset, per_tick = fit(events, starts)
    times = [(offset + tick * per_tick, kind) for tick, kind in events]

    missing = [(t, k) for t, k in times
               if not any(peaks[i] > LOUD for i in range(max(0, int((t - EARLY) * RATE / BLOCK)),
                                                       min(len(peaks), int((t + LATE) * RATE / BLOCK) + 1)))]
    allowed = [False] * len(peaks)
    for t, kind in times:
        for i in range(max(0, int((t - EARLY) * RATE / BLOCK)),
                       min(len(peaks), int((t + LENGTH[kind] + LATE) * RATE / BLOCK) + 1)):
            allowed[i] = True
    stray = [i * BLOCK / RATE for i in range(len(peaks)) if peaks[i] > LOUD and not allowed[i]]
    sounding = sum(p > LOUD for p in peaks)

    counts = {k: sum(kind == k for _, kind in events) for k in LENGTH}
    print(f"output: {len(peaks) * BLOCK / RATE:.1f} s; events from the replay: {counts}")
    print(f"fitted: tick 0 at {offset:.3f} s of the output, {per_tick * 1000:.3f} ms of output per tick")
    print(f"events with sound starting in their window: {len(events) - len(missing)} of {len(events)}")
    print(f"sounding 5 ms blocks: {sounding}, outside every event's window: {len(stray)}")
    for t, k in missing:
        print(f"  no sound for the {k} at {t:.3f} s")
    for t in stray[:10]:
        print(f"  sound at {t:.3f} s, away from every event")

    # The loudness plot: RMS per 5 ms in dB (-60 to 0), events marked where the fit puts them.
    width, height = min(len(levels), 2400), 300
    per_pixel = len(levels) / width
    image = [[(16, 16, 16)] * width for _ in range(height)]
    for x in range(width):
        level = max(levels[int(x * per_pixel):int((x + 1) * per_pixel) + 1])
        db = 20 * math.log10(level) if level > 0 else -60
        top = int(height * min(1, max(0, -db / 60)))
        for y in range(top, height):
            image[y][x] = (235, 235, 235)
    for t, kind in times:
        x = int(t * RATE / BLOCK / per_pixel)
        colour = tuple(int(COLOURS[kind][i:i + 2], 16) for i in (1, 3, 5))
        for y in range(height):
            if 0 <= x < width:
                image[y][x] = colour
    ppm = plot + ".ppm"
    with open(ppm, "wb") as out:
        out.write(b"P6 %d %d 255\n" % (width, height))
        out.write(bytes(c for row in image for pixel in row for c in pixel))
    subprocess.run(["convert", ppm, "-gravity", "north", "-background", "white", "-splice", "0x24",
                    "-pointsize", "14", "-annotate", "+0+4",
                    "Loudness over time (RMS, -60..0 dB); from the replay: blue contact, red drop, "
                    "green next round", plot], check=True)
    sys.exit(1 if missing or stray else 0)


main()
