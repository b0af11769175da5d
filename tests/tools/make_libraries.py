#!/usr/bin/env python3
"""Fills a working folder with gradients and brush presets, for the tests and
the measurements of large libraries: copies of one valid gradient (160 x 22
with its comment) and of one valid preset (256 x 256 sample and 64 x 64 icon,
both with the preset comment).

usage: make_libraries.py FOLDER GRADIENTS PRESETS [--icons-every N] [--last-gradient-differs]
  --icons-every N           only every Nth preset has its icon (default 1: all)
  --last-gradient-differs   the last gradient has only stops 1 and 9 on
Names: "gradient 00000.png" ..., "preset 00000.png" ...
"""
import argparse
import os
import struct
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)


def png(w, h, comment):
    raw = b"".join(b"\0" + b"".join(bytes((x % 256, (255 - x) % 256, y % 256)) for x in range(w)) for y in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"tEXt", b"Comment\0" + comment.encode())
            + chunk(b"IEND", b""))


COLOURS = "213|25|32|222|132|21|222|197|26|47|194|57|4|167|225|13|95|216|121|56|170|212|0|126|213|25|32|"
PRESET = ("V|150|C|255|128|0|P|100|S|1|BRU|A|1|B|300|C|100000|D|1|E|0|F|100000|G|0|H|100000|I|100000|J|0|K|4|"
          "L|10|M|1|N|0|END")


def main():
    args = argparse.ArgumentParser()
    args.add_argument("folder")
    args.add_argument("gradients", type=int)
    args.add_argument("presets", type=int)
    args.add_argument("--icons-every", type=int, default=1)
    args.add_argument("--last-gradient-differs", action="store_true")
    a = args.parse_args()
    for d in ("Gradients", "Brushes/Icons"):
        os.makedirs(os.path.join(a.folder, d), exist_ok=True)
    usual = png(160, 22, "V|150|G|1|3|T|F|F|F|T|F|F|F|T|" + COLOURS + "T|")
    other = png(160, 22, "V|150|G|1|3|T|F|F|F|F|F|F|F|T|" + COLOURS + "T|")
    picture, icon = png(256, 256, PRESET), png(64, 64, PRESET)
    for k in range(a.gradients):
        last = k == a.gradients - 1 and a.last_gradient_differs
        with open(os.path.join(a.folder, "Gradients", "gradient %05d.png" % k), "wb") as f:
            f.write(other if last else usual)
    for k in range(a.presets):
        with open(os.path.join(a.folder, "Brushes", "preset %05d.png" % k), "wb") as f:
            f.write(picture)
        if k % a.icons_every == 0:
            with open(os.path.join(a.folder, "Brushes", "Icons", "preset %05d.png" % k), "wb") as f:
                f.write(icon)


main()
