#!/usr/bin/env python3
"""Writes the program's two short sounds: Fanfare.wav (a rising C major
arpeggio) and Type.wav (a short key click). Mono, 16 bit, 22050 Hz: the
plainest PCM every audio back end decodes, and still a few kilobytes. Run from this folder to remake them."""
import math
import struct
import wave

RATE = 22050


def tone(freq, seconds, volume=0.5):
    n = int(RATE * seconds)
    fade = max(1, int(RATE * 0.01))
    out = []
    for i in range(n):
        envelope = min(1.0, i / fade, (n - i) / fade)
        out.append(volume * envelope * math.sin(2 * math.pi * freq * i / RATE))
    return out


def write(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(32767 * s)) for s in samples))


fanfare = tone(523.25, 0.1) + tone(659.25, 0.1) + tone(783.99, 0.1) + tone(1046.5, 0.25)
write("Fanfare.wav", fanfare)
write("Type.wav", tone(1800.0, 0.03, 0.4))
