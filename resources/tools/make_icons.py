#!/usr/bin/env python3
"""Writes resources/f2paste.ico and resources/link.cur.

    python3 resources/tools/make_icons.py

The icon is a blue clipboard with "F2" on its page, drawn from distance
functions and supersampled: once with an alpha channel (32 bpp) and once with
a hard AND mask (24 bpp), for systems that draw icons without alpha. The
cursor is the pointing hand drawn below, pixel for pixel. Nothing is random,
so each run writes the same bytes.
"""

import math
import os
import struct

SIZE = 32
SAMPLES = 6  # per axis, for anti-aliasing

RESOURCES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# '#' black, 'o' white, '.' transparent. The hot spot is the top-left pixel of
# the fingertip.
HAND = """
................................
......##........................
.....#oo#.......................
.....#oo#.......................
.....#oo#.......................
.....#oo#.......................
.....#oo###.....................
.....#oo#oo###..................
.....#oo#oo#oo#.................
.....#oo#oo#oo###...............
.##..#oo#oo#oo#oo#..............
#oo#.#oo#oo#oo#oo#..............
#ooo##oo#oo#oo#oo#..............
.#oooooo#oo#oo#oo#..............
.#ooooooooooooooo#..............
..#oooooooooooooo#..............
..#oooooooooooooo#..............
...#ooooooooooooo#..............
...#ooooooooooooo#..............
....#oooooooooooo#..............
....#ooooooooooo#...............
.....#oooooooooo#...............
.....#oooooooooo#...............
.....############...............
................................
................................
................................
................................
................................
................................
................................
................................
""".split()
HOT_SPOT = (6, 1)


def clamp01(v):
    return min(1.0, max(0.0, v))


def cover(distance, softness=0.5):
    """Coverage from a signed distance, negative inside."""
    return clamp01(0.5 - distance / softness)


def rounded_box(x, y, left, top, right, bottom, radius):
    qx = abs(x - (left + right) / 2) - (right - left) / 2 + radius
    qy = abs(y - (top + bottom) / 2) - (bottom - top) / 2 + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def segment(x, y, ax, ay, bx, by):
    px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
    t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy))
    return math.hypot(px - dx * t, py - dy * t)


def arc(x, y, cx, cy, radius, start, end):
    """Distance to a circular arc swept clockwise on screen from start to end (degrees)."""
    angle = math.degrees(math.atan2(y - cy, x - cx))
    if (angle - start) % 360 <= (end - start) % 360:
        return abs(math.hypot(x - cx, y - cy) - radius)
    ends = [(cx + radius * math.cos(math.radians(a)), cy + radius * math.sin(math.radians(a)))
            for a in (start, end)]
    return min(math.hypot(x - ex, y - ey) for ex, ey in ends)


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


INK = (18, 50, 118)
TWO_CENTRE = (20.6, 15.6)
TWO_RADIUS = 2.7
TWO_TURN = 35  # where the bowl of the "2" turns into its diagonal


def f2_glyphs(x, y):
    """Signed distance to the bold "F2" on the page."""
    f = min(rounded_box(x, y, 8.6, 11.6, 11.6, 26.2, 0.4),
            rounded_box(x, y, 8.6, 11.6, 16.0, 14.2, 0.4),
            rounded_box(x, y, 8.6, 17.6, 15.0, 20.0, 0.4))
    half = 1.35
    cx, cy = TWO_CENTRE
    turn = math.radians(TWO_TURN)
    joint = (cx + TWO_RADIUS * math.cos(turn), cy + TWO_RADIUS * math.sin(turn))
    two = min(arc(x, y, cx, cy, TWO_RADIUS, 160, TWO_TURN) - half,
              segment(x, y, *joint, 18.2, 24.4) - half,
              rounded_box(x, y, 17.0, 23.6, 24.4, 26.2, 0.4))
    return min(f, two)


def icon_sample(x, y):
    """Premultiplied RGBA of one sample, painting layers back to front."""
    r = g = b = a = 0.0

    def over(colour, alpha):
        nonlocal r, g, b, a
        r = colour[0] * alpha + r * (1 - alpha)
        g = colour[1] * alpha + g * (1 - alpha)
        b = colour[2] * alpha + b * (1 - alpha)
        a = alpha + a * (1 - alpha)

    board = rounded_box(x, y, 4, 3.5, 28, 31, 3.5)
    over((0, 0, 0), 0.3 * cover(rounded_box(x, y, 4.6, 4.5, 28.6, 32, 4), 2.0))
    over((22, 64, 126), cover(board))
    over(mix((70, 156, 218), (36, 98, 174), clamp01((y - 4) / 26)), cover(board + 1.0))

    page = rounded_box(x, y, 7, 8, 25, 28.6, 1.2)
    over(mix((255, 255, 255), (232, 238, 246), clamp01((y - 8) / 20)), cover(page))

    clip = rounded_box(x, y, 10.5, 1.2, 21.5, 8.6, 2.2)
    over((64, 70, 84), cover(clip))
    over(mix((232, 236, 242), (158, 166, 180), clamp01((y - 2) / 6)), cover(clip + 0.9))
    over((64, 70, 84), cover(rounded_box(x, y, 14, 2.8, 18, 4.6, 0.9)))

    over(INK, cover(f2_glyphs(x, y)))
    return r, g, b, a


def render_icon():
    """Rows top to bottom of (r, g, b, alpha) with straight colour, all 0..255."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            total = [0.0] * 4
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    sample = icon_sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    total = [t + s for t, s in zip(total, sample)]
            n = SAMPLES * SAMPLES
            alpha = total[3] / n
            colour = [round(c / n / alpha) if alpha > 0 else 0 for c in total[:3]]
            row.append((*colour, round(alpha * 255)))
        rows.append(row)
    return rows


def info_header(bits, colours, image_bytes):
    """BITMAPINFOHEADER of an icon or cursor image: the height counts both masks."""
    return struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bits, 0, image_bytes, 0, 0,
                       colours, 0)


def mask_rows(rows, is_set):
    """A 1-bpp plane, bottom-up, leftmost pixel in the top bit, 4 bytes a row."""
    data = b''
    for row in reversed(rows):
        bits = 0
        for pixel in row:
            bits = bits << 1 | (1 if is_set(pixel) else 0)
        data += struct.pack('>I', bits)
    return data


def icon_image(rows, bits):
    """One icon image: header, colour plane bottom-up, AND mask (1 = transparent)."""
    opaque = [[p[3] >= 128 for p in row] for row in rows]
    colour = b''
    for row, solid in zip(reversed(rows), reversed(opaque)):
        for (r, g, b, a), keep in zip(row, solid):
            if bits == 32:
                colour += bytes((b, g, r, a) if a else (0, 0, 0, 0))
            else:
                # Under the mask the screen shows through an XOR with black.
                colour += bytes((b, g, r) if keep else (0, 0, 0))
    mask = mask_rows(opaque, lambda keep: not keep)
    return info_header(bits, 0, len(colour) + len(mask)) + colour + mask


def write_icon(path):
    rows = render_icon()
    images = [(32, icon_image(rows, 32)), (24, icon_image(rows, 24))]
    assert [len(image) for _, image in images] == [4264, 3240]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for bits, image in images:
        out += struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
    out += b''.join(image for _, image in images)
    with open(path, 'wb') as f:
        f.write(out)


def write_cursor(path):
    assert len(HAND) == SIZE and all(len(row) == SIZE for row in HAND)
    top = next(y for y, row in enumerate(HAND) if '#' in row)
    assert HOT_SPOT == (HAND[top].index('#'), top)
    # Palette index 0 is black and 1 white; with AND 1 and XOR 0 the screen shows.
    xor = mask_rows(HAND, lambda c: c == 'o')
    and_mask = mask_rows(HAND, lambda c: c == '.')
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info_header(1, 2, len(xor) + len(and_mask)) + palette + xor + and_mask
    # In a cursor's directory entry the planes and bit-count fields hold the hot spot.
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, *HOT_SPOT, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(out + image)


def main():
    write_icon(os.path.join(RESOURCES, 'f2paste.ico'))
    write_cursor(os.path.join(RESOURCES, 'link.cur'))


if __name__ == '__main__':
    main()
