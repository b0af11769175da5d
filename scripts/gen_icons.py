#!/usr/bin/env python3
"""Draws the drawing window's interface pictures into data/.

  icon_alpha.png  8 x 8    badge for a layer with alpha (top right of a thumbnail)
  icon_front.png  52 x 52  label over the front-layer thumbnail
  icon_back.png   52 x 52  label over the back-layer thumbnail
  icon_brush.png  48 x 11  label over the brush-preset icon preview
  icon_paint.png  100 x 13 label at the top of the brush-preset capture box

All RGBA; transparent where the thumbnail or canvas under them shows.
Run from anywhere: python3 scripts/gen_icons.py
"""

import os
import struct
import zlib

# 5 x 7 capitals, one string of five 0/1 per row.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    " ": ["00000"] * 7,
}

CLEAR = (0, 0, 0, 0)
TAB = (40, 38, 36, 190)      # dark, a little see-through
TEXT = (240, 240, 240, 255)  # the tool window's label colour
ACCENT = (255, 130, 50, 255)  # the tool window's heading colour


class Picture:
    def __init__(self, w, h, fill=CLEAR):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def text(self, x, y, s, c):
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.put(x + col, y + row, c)
            x += 6

    def png(self):
        raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *p) for p in row) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def text_width(s):
    return 6 * len(s) - 1


def label(w, h, s, x=None):
    """A tab of height h holding s, with an accent line under the text."""
    p = Picture(w, h)
    tw = text_width(s) + 4
    x = (w - tw) // 2 if x is None else x
    p.rect(x, 0, tw, h, TAB)
    p.text(x + 2, 2, s, TEXT)
    p.rect(x, h - 1, tw, 1, ACCENT)
    return p


def layer_badge(s):
    """52 x 52, clear, with its name in a tab at the bottom left."""
    p = Picture(52, 52)
    tab = label(text_width(s) + 4, 11, s, x=0)
    for y in range(11):
        for x in range(tab.w):
            p.put(1 + x, 40 + y, tab.px[y][x])
    return p


def alpha_badge():
    """8 x 8 checkerboard, the usual sign of transparency."""
    p = Picture(8, 8)
    for y in range(8):
        for x in range(8):
            light = ((x // 2) + (y // 2)) % 2 == 0
            p.put(x, y, (220, 220, 220, 255) if light else (120, 120, 120, 255))
    return p


def main():
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    os.makedirs(data, exist_ok=True)
    pictures = {
        "icon_alpha.png": alpha_badge(),
        "icon_front.png": layer_badge("FRONT"),
        "icon_back.png": layer_badge("BACK"),
        "icon_brush.png": label(48, 11, "BRUSH"),
        "icon_paint.png": label(100, 13, "PAINT HERE"),
    }
    for name, picture in pictures.items():
        with open(os.path.join(data, name), "wb") as f:
            f.write(picture.png())


if __name__ == "__main__":
    main()
