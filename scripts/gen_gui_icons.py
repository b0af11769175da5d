#!/usr/bin/env python3
"""Draws the tool window's pictures: data/undo.ico, data/redo.ico,
data/brushes.ico (16 x 16, 32-bit) and the About box logo data/wyrlelogo.png.

Plain Python (no imaging library): shapes are rasterised with 4 x 4
supersampling and written as classic BMP-based icons and a PNG.
Run from anywhere: python3 scripts/gen_gui_icons.py
"""

import math
import os
import struct
import zlib

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
SS = 4  # samples per pixel and axis


class Canvas:
    def __init__(self, w, h, background=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[list(background) for _ in range(w)] for _ in range(h)]

    def fill(self, inside, colour):
        """Blends `colour` (r, g, b, a) over every pixel by the share of its
        samples for which inside(x, y) holds."""
        r, g, b, a = colour
        for py in range(self.h):
            for px in range(self.w):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS):
                            hits += 1
                if not hits:
                    continue
                cover = hits / (SS * SS) * a / 255.0
                dst = self.px[py][px]
                out_a = cover + dst[3] / 255.0 * (1 - cover)
                for i, c in enumerate((r, g, b)):
                    if out_a > 0:
                        dst[i] = round((c * cover + dst[i] * dst[3] / 255.0 * (1 - cover)) / out_a)
                dst[3] = round(out_a * 255)

    def mirrored(self):
        m = Canvas(self.w, self.h)
        m.px = [list(reversed([p[:] for p in row])) for row in self.px]
        return m


def ring_sector(cx, cy, r_in, r_out, a_from, a_to):
    """Angles in degrees, counter-clockwise from +x with y pointing up."""

    def inside(x, y):
        dx, dy = x - cx, cy - y
        d = math.hypot(dx, dy)
        if d < r_in or d > r_out:
            return False
        a = math.degrees(math.atan2(dy, dx)) % 360
        lo, hi = a_from % 360, a_to % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)

    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
                hit = not hit
        return hit

    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def write_ico(path, canvas):
    w, h = canvas.w, canvas.h
    pixels = bytearray()
    for row in reversed(canvas.px):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(canvas.px):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


def write_png(path, canvas):
    raw = bytearray()
    for row in canvas.px:
        raw.append(0)
        for p in row:
            raw += bytes(p)

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + chunk(b"IEND", b""))


INK = (52, 50, 48, 255)
ORANGE = (255, 130, 50, 255)


def undo_icon():
    c = Canvas(16, 16)
    # A hook that runs over the top from the right and ends in an arrow
    # head on the left, pointing down.
    c.fill(ring_sector(8.5, 9.0, 3.0, 5.2, -40, 180), INK)
    c.fill(polygon([(0.6, 8.6), (7.2, 8.6), (3.9, 13.2)]), INK)
    return c


def brushes_icon():
    c = Canvas(16, 16)
    c.fill(polygon([(14.6, 0.6), (15.6, 1.6), (9.0, 8.6), (7.6, 7.2)]), (120, 80, 50, 255))
    c.fill(polygon([(7.0, 6.6), (9.6, 9.2), (8.0, 10.8), (5.4, 8.2)]), (150, 150, 150, 255))
    c.fill(polygon([(5.0, 8.6), (7.6, 11.2), (4.0, 14.6), (0.6, 15.4), (1.4, 12.0)]), ORANGE)
    c.fill(disc(12.5, 12.5, 1.6), (4, 167, 225, 255))
    c.fill(disc(3.5, 3.5, 1.6), (47, 194, 57, 255))
    return c


def logo():
    w, h = 240, 80
    # Clear round the trail, so that the box's own background shows there.
    c = Canvas(w, h)
    stops = [(213, 25, 32), (222, 132, 21), (222, 197, 26), (47, 194, 57), (4, 167, 225), (13, 95, 216),
             (121, 56, 170), (212, 0, 126)]
    # A trail of particles along a damped wave, coloured along the gradient.
    n = 70
    for i in range(n):
        t = i / (n - 1)
        x = 14 + t * (w - 28)
        y = h / 2 + math.sin(t * 3 * math.pi) * (h / 3) * (1 - 0.55 * t)
        k = t * (len(stops) - 1)
        a, b = stops[int(k)], stops[min(int(k) + 1, len(stops) - 1)]
        f = k - int(k)
        colour = tuple(round(a[j] + (b[j] - a[j]) * f) for j in range(3)) + (200,)
        c.fill(disc(x, y, 3.0 + 5.0 * math.sin(t * math.pi)), colour)
    return c


def main():
    os.makedirs(DATA, exist_ok=True)
    undo = undo_icon()
    write_ico(os.path.join(DATA, "undo.ico"), undo)
    write_ico(os.path.join(DATA, "redo.ico"), undo.mirrored())
    write_ico(os.path.join(DATA, "brushes.ico"), brushes_icon())
    write_png(os.path.join(DATA, "wyrlelogo.png"), logo())


if __name__ == "__main__":
    main()
