#!/usr/bin/env python3
"""Writes resources/StartClip.wav and resources/ClickClip.wav.

    python3 resources/tools/make_clips.py [--check]

With --check it writes nothing and fails unless both files hold exactly what
it would write.

StartClip is a bell-like chime: a rising C major arpeggio over a soft pad, with
a stereo echo, dying away over 7.95 s. ClickClip is a crisp switch click: a
burst of bright noise on a few damped resonances, 0.388 s with its room tail.
Both are PCM, 2 channels, 22,050 Hz, 16 bits. The noise comes from a seeded
generator, so each run writes the same bytes.

The files carry the program's own layout: StartClip has an 18-byte "fmt "
chunk (cbSize 0) and a "LIST"/"INFO" chunk naming this script before "data";
ClickClip has a 16-byte "fmt " chunk and nothing but "data" after it.
"""

import math
import os
import random
import struct
import sys

RATE = 22050
CHANNELS = 2
BITS = 16
BLOCK_ALIGN = CHANNELS * BITS // 8

START_FRAMES = 175298  # 7.950 s
CLICK_FRAMES = 8564  # 0.388 s

RESOURCES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def pan_gains(position):
    """Constant-power gains (left, right) for a position from -1 to 1."""
    angle = (position + 1) * math.pi / 4
    return math.cos(angle), math.sin(angle)


def add_tone(left, right, start, frequency, amplitude, decay, position, attack=0.004):
    """A decaying partial with a raised-cosine attack, added from frame start
    until it has faded below what 16 bits can show."""
    step = 2 * math.pi * frequency / RATE
    fall = math.exp(-1 / (decay * RATE))
    rise = max(1, int(attack * RATE))
    gain_left, gain_right = pan_gains(position)
    length = min(len(left) - start, int(decay * RATE * math.log(amplitude * 1e5 + 1)) + rise)
    envelope = amplitude
    for n in range(length):
        value = envelope * math.sin(step * n)
        if n < rise:
            value *= 0.5 - 0.5 * math.cos(math.pi * n / rise)
        left[start + n] += value * gain_left
        right[start + n] += value * gain_right
        envelope *= fall


def bell(left, right, start, frequency, amplitude, decay, position):
    # Slightly stretched partials give the glassy ring of a small bell.
    for ratio, weight, damping in ((1.0, 1.0, 1.0), (2.0, 0.42, 1.8), (3.01, 0.2, 2.9),
                                   (4.16, 0.1, 4.5)):
        add_tone(left, right, start, frequency * ratio, amplitude * weight, decay / damping,
                 position)
    # A faint detuned twin makes the fundamental shimmer.
    add_tone(left, right, start, frequency * 1.0021, amplitude * 0.3, decay * 0.8, -position)


def echo(samples, delay, feedback, mix):
    """Feedback delay line, mixed in at mix."""
    lag = int(delay * RATE)
    wet = [0.0] * len(samples)
    for n in range(lag, len(samples)):
        wet[n] = samples[n - lag] + feedback * wet[n - lag]
    return [dry + mix * w for dry, w in zip(samples, wet)]


def fade_out(samples, seconds):
    span = int(seconds * RATE)
    total = len(samples)
    for n in range(total - span, total):
        x = (total - 1 - n) / span
        samples[n] *= x * x


def to_pcm(left, right, peak):
    loudest = max(max(map(abs, left)), max(map(abs, right)))
    scale = peak * 32767 / loudest
    frames = bytearray()
    for l, r in zip(left, right):
        frames += struct.pack("<hh", round(l * scale), round(r * scale))
    return bytes(frames)


def start_chime():
    left = [0.0] * START_FRAMES
    right = [0.0] * START_FRAMES
    # C5 E5 G5 C6, then E6 on top, walking from left to right.
    notes = ((0.00, 523.25, -0.6), (0.15, 659.26, -0.3), (0.30, 783.99, 0.0),
             (0.45, 1046.50, 0.3), (0.75, 1318.51, 0.6))
    for onset, frequency, position in notes:
        bell(left, right, int(onset * RATE), frequency, 1.0, 1.5, position)
    # A warm pad under the arpeggio: C4 and G4, slow to rise.
    for frequency, position in ((261.63, -0.2), (392.00, 0.2)):
        add_tone(left, right, int(0.3 * RATE), frequency, 0.35, 2.2, position, attack=0.35)
    left = echo(left, 0.23, 0.35, 0.45)
    right = echo(right, 0.31, 0.35, 0.45)
    fade_out(left, 1.5)
    fade_out(right, 1.5)
    return to_pcm(left, right, 0.7)


def click():
    noise = random.Random(20240523)
    left = [0.0] * CLICK_FRAMES
    right = [0.0] * CLICK_FRAMES
    # Bright noise: white noise through a first difference, gone in a few ms.
    previous = 0.0
    envelope = 1.0
    fall = math.exp(-1 / (0.0015 * RATE))
    for n in range(int(0.02 * RATE)):
        white = noise.uniform(-1, 1)
        value = (white - previous) * envelope * 0.5
        previous = white
        left[n] += value
        right[n] += value * 0.9
        envelope *= fall
    # The plastic body: two damped resonances and a low thump.
    add_tone(left, right, 0, 2800.0, 0.55, 0.006, -0.1, attack=0.0005)
    add_tone(left, right, 0, 1320.0, 0.4, 0.012, 0.1, attack=0.0005)
    add_tone(left, right, 0, 180.0, 0.5, 0.025, 0.0, attack=0.001)
    left = echo(left, 0.023, 0.3, 0.25)
    right = echo(right, 0.041, 0.3, 0.25)
    fade_out(left, 0.05)
    fade_out(right, 0.05)
    return to_pcm(left, right, 0.6)


def chunk(identifier, body):
    assert len(body) % 2 == 0
    return identifier + struct.pack("<I", len(body)) + body


def wave_image(samples, format_extra, other_chunks):
    fmt = struct.pack("<HHIIHH", 1, CHANNELS, RATE, RATE * BLOCK_ALIGN, BLOCK_ALIGN, BITS)
    form = b"WAVE" + chunk(b"fmt ", fmt + format_extra) + other_chunks + chunk(b"data", samples)
    return chunk(b"RIFF", form)


def read_file(path):
    with open(path, "rb") as source:
        return source.read()


def main(argv):
    check = "--check" in argv[1:]
    info = b"INFO" + chunk(b"ISFT", b"make_clips.py\0")
    images = {
        "StartClip.wav": wave_image(start_chime(), struct.pack("<H", 0), chunk(b"LIST", info)),
        "ClickClip.wav": wave_image(click(), b"", b""),
    }
    stale = []
    for name, image in images.items():
        path = os.path.join(RESOURCES, name)
        if not check:
            with open(path, "wb") as out:
                out.write(image)
        elif not os.path.exists(path) or read_file(path) != image:
            stale.append(name)
    if stale:
        print(f"not what make_clips.py writes: {', '.join(stale)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
