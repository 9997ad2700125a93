#!/usr/bin/env python3
"""Draws Tonquil's tray icon and writes player/res/tonquil.ico.

The icon holds images of 16, 32 and 48 pixels at 24 bits per pixel: a round
teal disc with a white eighth note. Each image is drawn at 8x and averaged
down, so its edges are smooth; the 1-bit mask makes the corners transparent.

    python3 res/draw_icon.py            # rewrites player/res/tonquil.ico
"""
import math
import os
import struct

SIZES = (16, 32, 48)
SUPERSAMPLE = 8
TOP = (38, 166, 154)      # disc colour at the top
BOTTOM = (0, 105, 92)     # and at the bottom
NOTE = (255, 255, 255)
EDGE_BACKDROP = (128, 128, 128)  # what half-covered edge pixels blend towards


def coverage(x, y):
    """What covers the unit-square point (x, y): None, 'disc' or 'note'."""
    cx, cy = x - 0.5, y - 0.5
    if cx * cx + cy * cy > 0.47 ** 2:
        return None
    # Note head: a tilted ellipse.
    hx, hy = x - 0.40, y - 0.70
    angle = math.radians(-25)
    rx = hx * math.cos(angle) - hy * math.sin(angle)
    ry = hx * math.sin(angle) + hy * math.cos(angle)
    if (rx / 0.15) ** 2 + (ry / 0.105) ** 2 <= 1:
        return 'note'
    # Stem.
    if 0.505 <= x <= 0.565 and 0.22 <= y <= 0.68:
        return 'note'
    # Flag: a band curving down from the top of the stem.
    if 0.535 <= x <= 0.74:
        t = (x - 0.535) / 0.205
        top = 0.22 + 0.20 * t * t
        if top <= y <= top + 0.11:
            return 'note'
    return 'disc'


def draw(size):
    pixels = []
    for row in range(size):
        line = []
        for col in range(size):
            colour = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (col + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (row + (sy + 0.5) / SUPERSAMPLE) / size
                    what = coverage(x, y)
                    if what is None:
                        continue
                    covered += 1
                    if what == 'note':
                        c = NOTE
                    else:
                        c = tuple(TOP[i] + (BOTTOM[i] - TOP[i]) * y for i in range(3))
                    for i in range(3):
                        colour[i] += c[i]
            samples = SUPERSAMPLE * SUPERSAMPLE
            alpha = covered / samples
            if covered:
                mean = [v / covered for v in colour]
                rgb = tuple(round(mean[i] * alpha + EDGE_BACKDROP[i] * (1 - alpha)) for i in range(3))
            else:
                rgb = (0, 0, 0)
            line.append((rgb, alpha >= 0.5))
        pixels.append(line)
    return pixels


def bitmap(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    xor_stride = (size * 3 + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(range(size)):  # bottom-up
        line = bytearray()
        bits = bytearray(and_stride)
        for col in range(size):
            (r, g, b), opaque = pixels[row][col]
            line += bytes((b, g, r)) if opaque else b'\0\0\0'
            if not opaque:
                bits[col // 8] |= 0x80 >> (col % 8)
        line += b'\0' * (xor_stride - len(line))
        xor += line
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main():
    images = [bitmap(size, draw(size)) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tonquil.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
