#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files into res/.

A blue shield with a white keyhole is the program icon (32x32 and 16x16) and
the normal tray icon (16x16). The two flash icons of the tray add a badge at
the lower right: a green plus (an entry was added to the block list) and a red
cross (a popup was closed). The drawing is plain geometry sampled at 8x8
points per pixel, so the output is the same on every run.

Usage: scripts/make-icons.py [output folder, default: res/ next to scripts/]
"""
import math
import os
import struct
import sys

SAMPLES = 8  # per pixel and axis

NAVY = (18, 38, 100)
BLUE_LIGHT = (86, 146, 236)
BLUE_DARK = (28, 78, 190)
WHITE = (255, 255, 255)
GREEN = (24, 150, 60)
GREEN_EDGE = (10, 90, 32)
RED = (212, 36, 36)
RED_EDGE = (120, 14, 14)

# The shield in unit coordinates (x right, y down).
TOP, SHOULDER, TIP = 0.07, 0.50, 0.96
HALF_WIDTH = 0.38


def shield_half_width(y, inset):
    """Half the shield's width at height y, shrunk by `inset`; <0 outside."""
    if y < TOP + inset or y > TIP - 1.6 * inset:
        return -1.0
    if y <= SHOULDER:
        return HALF_WIDTH - inset
    t = (y - SHOULDER) / (TIP - SHOULDER)
    return HALF_WIDTH * (1.0 - t ** 1.7) ** 0.75 - inset


def in_shield(x, y, inset=0.0):
    return abs(x - 0.5) <= shield_half_width(y, inset)


def in_keyhole(x, y):
    cx, cy, r = 0.5, 0.40, 0.105
    if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
        return True
    # The slot below the round part widens towards the bottom.
    if cy <= y <= 0.70:
        half = 0.045 + 0.03 * (y - cy) / (0.70 - cy)
        return abs(x - cx) <= half
    return False


def in_disc(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_plus(x, y, cx, cy, arm, half):
    dx, dy = abs(x - cx), abs(y - cy)
    return (dx <= arm and dy <= half) or (dy <= arm and dx <= half)


def in_cross(x, y, cx, cy, arm, half):
    u = ((x - cx) + (y - cy)) / math.sqrt(2)
    v = ((x - cx) - (y - cy)) / math.sqrt(2)
    return (abs(u) <= arm and abs(v) <= half) or (abs(v) <= arm and abs(u) <= half)


def layers(size, badge):
    """The drawing as a list of (colour function, coverage test), back to front."""
    px = 1.0 / size  # one pixel in unit coordinates
    outline = 1.0 * px if size <= 16 else 1.5 * px

    def shield_fill(x, y):
        # Lighter on the left half, like light falling on the shield.
        top, bottom = (BLUE_LIGHT, BLUE_DARK) if x < 0.5 else (BLUE_DARK, NAVY)
        t = max(0.0, min(1.0, (y - TOP) / (TIP - TOP)))
        return tuple(round(a + (b - a) * t * 0.6) for a, b in zip(top, bottom))

    out = [
        (lambda x, y: NAVY, lambda x, y: in_shield(x, y)),
        (shield_fill, lambda x, y: in_shield(x, y, outline)),
        (lambda x, y: WHITE, in_keyhole),
    ]
    if badge:
        fill, edge, symbol = {"plus": (GREEN, GREEN_EDGE, in_plus), "cross": (RED, RED_EDGE, in_cross)}[badge]
        # The plus is centred on a pixel corner and the cross on a pixel's
        # middle, so that at 16x16 their strokes fall on whole pixels.
        cx = cy = 11 / 16 if badge == "plus" else 10.5 / 16
        r = 0.29
        arm = {"plus": 0.0625, "cross": 0.036}[badge]
        out += [
            (lambda x, y: WHITE, lambda x, y: in_disc(x, y, cx, cy, r + px)),
            (lambda x, y: edge, lambda x, y: in_disc(x, y, cx, cy, r)),
            (lambda x, y: fill, lambda x, y: in_disc(x, y, cx, cy, r - outline)),
            (lambda x, y: WHITE, lambda x, y: symbol(x, y, cx, cy, arm, 0.18 if badge == "plus" else 0.2)),
        ]
    return out


def render(size, badge=None):
    """Rows of (r, g, b, a) pixels, top row first."""
    drawing = layers(size, badge)
    rows = []
    for py in range(size):
        row = []
        for pxl in range(size):
            r = g = b = a = 0.0  # premultiplied
            for colour, covers in drawing:
                hits = 0
                cr = cg = cb = 0.0
                for sy in range(SAMPLES):
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    for sx in range(SAMPLES):
                        x = (pxl + (sx + 0.5) / SAMPLES) / size
                        if covers(x, y):
                            c = colour(x, y)
                            hits += 1
                            cr += c[0]
                            cg += c[1]
                            cb += c[2]
                if not hits:
                    continue
                cov = hits / (SAMPLES * SAMPLES)
                cr, cg, cb = cr / hits, cg / hits, cb / hits
                r = cr * cov + r * (1 - cov)
                g = cg * cov + g * (1 - cov)
                b = cb * cov + b * (1 - cov)
                a = cov + a * (1 - cov)
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def ico_image(rows):
    """A 32-bit DIB with its AND mask, as an .ico entry stores it."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    blobs = []
    for rows in images:
        size = len(rows)
        blob = ico_image(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res")
    os.makedirs(folder, exist_ok=True)
    icons = {
        "tarnwick.ico": [render(32), render(16)],
        "tray0.ico": [render(16)],
        "tray1.ico": [render(16, "plus")],
        "tray2.ico": [render(16, "cross")],
    }
    for name, images in icons.items():
        write_ico(os.path.join(folder, name), images)
        print(os.path.normpath(os.path.join(folder, name)))


if __name__ == "__main__":
    main()
