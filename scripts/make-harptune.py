#!/usr/bin/env python3
"""Writes the default alarm sound, a short harp-like arpeggio, as a 16-bit mono WAV file.

Each note is a plucked string made of a few harmonics that die away, the higher ones faster;
the notes climb a major seventh chord and ring on together. Plain Python, no packages, and the
same bytes on every run, so the committed file can be checked against this script.

    scripts/make-harptune.py [OUTPUT]   (default: assets/sound/harptune.wav)
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
NOTES = [60, 64, 67, 71, 72, 76, 79, 84]  # MIDI numbers: C major seventh over two octaves
STEP = 0.11  # seconds between plucks
RING = 1.6  # seconds each string is heard
VOLUME = 0.8  # peak level of the whole tune, below full scale


def frequency(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)


def pluck(freq, seconds):
    """One string: harmonics 1..6, softer and shorter-lived the higher they are."""
    count = int(seconds * RATE)
    attack = int(0.004 * RATE)
    samples = []
    for i in range(count):
        t = i / RATE
        value = 0.0
        for k in range(1, 7):
            if k * freq >= RATE / 2:
                break
            value += math.sin(2 * math.pi * k * freq * t) * math.exp(-t * (2.2 + 1.8 * k)) / k**1.6
        if i < attack:
            value *= i / attack
        samples.append(value)
    return samples


def tune():
    length = int((STEP * (len(NOTES) - 1) + RING) * RATE)
    mix = [0.0] * length
    for n, note in enumerate(NOTES):
        start = int(n * STEP * RATE)
        for i, value in enumerate(pluck(frequency(note), RING)):
            mix[start + i] += value
    peak = max(abs(v) for v in mix)
    # A short fade so the file ends in silence, not a click.
    fade = int(0.05 * RATE)
    for i in range(fade):
        mix[length - 1 - i] *= i / fade
    return [round(v / peak * VOLUME * 32767) for v in mix]


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "assets/sound/harptune.wav")
    out.parent.mkdir(parents=True, exist_ok=True)
    with wave.open(str(out), "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(RATE)
        wav.writeframes(b"".join(struct.pack("<h", s) for s in tune()))


if __name__ == "__main__":
    main()
