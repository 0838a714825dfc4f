#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Pekto's default error sound, assets/sounds/default.wav.

A short, soft "bonk": a sine that glides down from 440 Hz to 330 Hz with a
quiet octave overtone, a 4 ms attack and an exponential decay, 0.12 s long,
16-bit mono PCM at 22050 Hz.

Standard library only:  python3 assets/tools/make_sound.py
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.12  # seconds
START_HZ, END_HZ = 440.0, 330.0
ATTACK = 0.004  # seconds
DECAY = 0.035  # time constant of the fade, seconds
PEAK = 0.45  # of full scale
OVERTONE = 0.18  # level of the octave above

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "sounds", "default.wav")


def samples():
    count = int(RATE * LENGTH)
    phase = 0.0
    for i in range(count):
        t = i / RATE
        # exponential glide of the pitch over the whole sound
        freq = START_HZ * (END_HZ / START_HZ) ** (t / LENGTH)
        phase += 2 * math.pi * freq / RATE
        envelope = min(1.0, t / ATTACK) * math.exp(-t / DECAY)
        # a short linear fade over the last 5 ms so the sound ends at zero
        envelope *= min(1.0, (count - 1 - i) / (RATE * 0.005))
        value = math.sin(phase) + OVERTONE * math.sin(2 * phase)
        yield int(round(32767 * PEAK * envelope * value / (1 + OVERTONE)))


def main():
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    frames = b"".join(struct.pack("<h", s) for s in samples())
    with wave.open(OUT, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"wrote {OUT} ({len(frames) // 2} samples)", file=sys.stderr)


if __name__ == "__main__":
    main()
