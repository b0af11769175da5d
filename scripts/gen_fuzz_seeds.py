#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: gen_fuzz_seeds.py OUT_DIR.

One folder per target below OUT_DIR. The file-format seeds are built here by
hand; picture seeds for the image loader also come from ImageMagick's
`convert` when it is installed (a format it cannot write is skipped).
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def chunk(kind, data, good_crc=True):
    crc = zlib.crc32(kind + data) & 0xFFFFFFFF
    if not good_crc:
        crc ^= 1
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


SIG = b"\x89PNG\r\n\x1a\n"


def png(width=2, height=2, extra_before_iend=b"", extra_after_ihdr=b"", trailing=b"", colour=0, depth=8):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    row = bytes([0]) + bytes((x * 37 + 11) & 0xFF for x in range(width * channels * depth // 8))
    idat = zlib.compress(row * height)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    return (SIG + chunk(b"IHDR", ihdr) + extra_after_ihdr + chunk(b"IDAT", idat) +
            extra_before_iend + chunk(b"IEND", b"") + trailing)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def grey_keyed(width, height, depth, key, gamma=None, interlaced=False):
    """A grey PNG whose tRNS chunk makes one grey level transparent."""
    top = (1 << depth) - 1
    rows = [[(x * 5 + y * 3) % (top + 1) for x in range(width)] for y in range(height)]

    def line(values):
        if depth == 16:
            return b"\0" + b"".join(struct.pack(">H", v * 4099 & 0xFFFF) for v in values)
        per = 8 // depth
        values = values + [0] * (-len(values) % per)
        packed = bytes(sum(values[i + j] << (8 - depth * (j + 1)) for j in range(per))
                       for i in range(0, len(values), per))
        return b"\0" + packed

    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    raw = b"".join(line(rows[y][x0::dx]) for x0, y0, dx, dy in passes if x0 < width
                   for y in range(y0, height, dy))
    ihdr = struct.pack(">IIBBBBB", width, height, depth, 0, 0, 0, 1 if interlaced else 0)
    extra = chunk(b"gAMA", struct.pack(">I", gamma)) if gamma else b""
    return (SIG + chunk(b"IHDR", ihdr) + extra + chunk(b"tRNS", struct.pack(">H", key)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def comment(text, good_crc=True, keyword=b"Comment\0"):
    return chunk(b"tEXt", keyword + text, good_crc)


GRADIENT = (b"V|150|G|0|0|1|0|0|0|1|0|0|0|1|255|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|255|0|0|0|0|0|"
            b"0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|255|0")
BRUSH = b"V|150|C|255|128|0|P|100|S|1|BRU|A|1|B|300|C|100000|D|1|E|0|F|100000|G|0|H|100000|I|100000|J|0|K|4|L|10|M|1|N|0|END"


def png_comment_seeds():
    big = png(16, 16, colour=2)
    # An IDAT whose data happens to spell a comment chunk.
    fake = SIG + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)) + \
        chunk(b"IDAT", b"\x00\x00\x00\x10tEXtComment\0xyzIEND") + chunk(b"IEND", b"")
    return {
        "plain.png": png(),
        "artwork.png": png(extra_before_iend=comment(b"bRGB 10 20 30")),
        "gradient.png": png(16, 2, colour=2, extra_before_iend=comment(GRADIENT)),
        "brush.png": png(8, 8, colour=6, extra_before_iend=comment(BRUSH)),
        "two_comments.png": png(extra_after_ihdr=comment(b"first"), extra_before_iend=comment(b"second")),
        "bad_crc.png": png(extra_before_iend=comment(b"bRGB 1 2 3", good_crc=False)),
        "commentary.png": png(extra_before_iend=comment(b"text", keyword=b"Commentary\0")),
        "short_comment.png": png(extra_before_iend=chunk(b"tEXt", b"Comm")),
        "long_comment.png": png(extra_before_iend=comment(bytes(range(32, 127)) * 4)),
        "zero_in_comment.png": png(extra_before_iend=comment(b"bRGB\0 1 2 3")),
        "after_iend.png": png(trailing=comment(b"late") + chunk(b"IEND", b"")),
        "ztxt.png": png(extra_before_iend=chunk(b"zTXt", b"Comment\0\0" + zlib.compress(b"hidden"))),
        "fake_in_idat.png": fake,
        "truncated.png": big[: len(big) - 20],
        "no_iend.png": png()[:-12],
        "signature_only.png": SIG,
    }


def jfif(comment_bytes=None, length=None, tail=b"\xff\xd9"):
    head = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"  # 20 bytes
    if comment_bytes is None:
        return head + tail
    if length is None:
        length = len(comment_bytes) + 2
    return head + b"\xff\xfe" + struct.pack(">H", length & 0xFFFF) + comment_bytes + tail


def jpeg_comment_seeds():
    return {
        "artwork.jpg": jfif(b"bRGB 255 255 255"),
        "empty_comment.jpg": jfif(b""),
        "length_zero.jpg": jfif(b"abc", length=0),
        "length_one.jpg": jfif(b"abc", length=1),
        "length_past_end.jpg": jfif(b"abc", length=400),
        "long.jpg": jfif(b"x" * 600),
        "zero_inside.jpg": jfif(b"bRGB\x001 2 3"),
        "no_comment.jpg": jfif(),
        "short.jpg": jfif()[:10],
    }


def config_seeds():
    # The first byte picks the markers (see tests/fuzz/targets.h): 0 is the
    # preferences file's own.
    texts = {
        "default.cfg": b"\0#Wyrle 1.0 configuration file\nUndoPercent = 30\n",
        "dialog.cfg": b"\0UndoPercent = 45 #UndoPercent\n",
        "crlf.cfg": b"\0#Wyrle 1.0 configuration file\r\nUndoPercent = 70\r\n",
        "sentry.cfg": b"\0UndoPercent = 20\nEndConfigFile\nUndoPercent = 80\n",
        "continued.cfg": b"\1Key = first\n  second\n\n  third\nOther = x # note\n# only a comment\nlast",
        "no_newline.cfg": b"\0UndoPercent = 90",
        "odd_values.cfg": b"\0UndoPercent = 99999999999999999999\nA = -5\nB = abc\n = empty key\nC =\n",
        "colon.cfg": b"\2name: value // comment\nEND\nafter: no\n",
        "double.cfg": b"\3a == b == c\n==\n a=b \n",
        "no_delimiter.cfg": b"\4x = 1\n",
    }
    return texts


def artwork_seeds():
    return {
        "white.txt": b"bRGB 255 255 255",
        "colour.txt": b"bRGB 10 20 30",
        "extra_tokens.txt": b"bRGB 1 2 3 and more",
        "runs_of_blanks.txt": b"  bRGB   7  8\t9  ",
        "not_first.txt": b"xx bRGB 1 2 3",
        "too_few.txt": b"bRGB 1 2",
        "out_of_range.txt": b"bRGB 999 -5 300",
        "overflow.txt": b"bRGB 99999999999 -99999999999 2147483648",
        "letters.txt": b"bRGB a b c",
        "empty.txt": b"",
        "gradient.txt": GRADIENT,
    }


def fixture_seeds(subfolder):
    """The comment fixtures the tests keep in tests/data/SUBFOLDER, good and bad."""
    seeds = {}
    folder = os.path.join(ROOT, "tests", "data", subfolder)
    for kind in ("good", "bad"):
        for name in sorted(os.listdir(os.path.join(folder, kind))):
            with open(os.path.join(folder, kind, name), "rb") as f:
                seeds[kind + "_" + name] = f.read()
    return seeds


def gradient_comment_seeds():
    return fixture_seeds("gradient-comments")


def brush_comment_seeds():
    return fixture_seeds("brush_comments")


def image_extensions():
    """The extension list of the image-load target, in its order."""
    with open(os.path.join(ROOT, "tests", "fuzz", "picture_targets.h")) as f:
        text = f.read()
    m = re.search(r"kExtensions\[\]\s*=\s*\{([^}]*)\}", text)
    return re.findall(r'"([^"]*)"', m.group(1))


# (file name, ImageMagick arguments placed before the output name)
CONVERSIONS = [
    ("grey.png", ["-colorspace", "Gray", "-depth", "8"]),
    ("grey16.png", ["-colorspace", "Gray", "-depth", "16"]),
    ("rgb.png", ["-depth", "8", "-define", "png:color-type=2"]),
    ("rgba.png", ["-alpha", "set", "-channel", "A", "-evaluate", "set", "50%", "+channel"]),
    ("rgba64.png", ["-alpha", "set", "-depth", "16"]),
    ("palette.png", ["-colors", "16", "PNG8:"]),
    ("interlaced.png", ["-interlace", "PNG"]),
    ("mono.png", ["-monochrome"]),
    ("baseline.jpg", ["-quality", "80"]),
    ("progressive.jpg", ["-interlace", "JPEG"]),
    ("grey.jpg", ["-colorspace", "Gray"]),
    ("cmyk.jpg", ["-colorspace", "CMYK"]),
    ("comment.jpg", ["-set", "comment", "bRGB 1 2 3"]),
    ("rgb.bmp", ["BMP3:"]),
    ("rgba.bmp", ["-alpha", "set", "BMP:"]),
    ("palette.bmp", ["-colors", "16", "-type", "Palette", "BMP3:"]),
    ("rle.bmp", ["-colors", "16", "-type", "Palette", "-compress", "RLE", "BMP3:"]),
    ("mono.bmp", ["-monochrome", "BMP3:"]),
    ("rgb.tga", []),
    ("rle.tga", ["-compress", "RLE"]),
    ("rgba.tga", ["-alpha", "set"]),
    ("rgb.tif", ["-compress", "None"]),
    ("lzw.tif", ["-compress", "LZW"]),
    ("zip.tif", ["-compress", "Zip"]),
    ("packbits.tif", ["-compress", "RLE"]),
    ("jpeg.tif", ["-compress", "JPEG"]),
    ("rgb48.tif", ["-depth", "16"]),
    ("float.tif", ["-depth", "32", "-define", "quantum:format=floating-point"]),
    ("cmyk.tif", ["-colorspace", "CMYK"]),
    ("miniswhite.tif", ["-monochrome", "-define", "tiff:photometric=min-is-white"]),
    ("planar.tif", ["-interlace", "Plane"]),
    ("pages.tif", ["(", "+clone", "-negate", ")"]),
    ("plain.gif", []),
    ("pages.gif", ["(", "+clone", "-negate", ")"]),
    ("transparent.gif", ["-transparent", "black"]),
    ("layers.psd", ["(", "+clone", "-negate", ")"]),
    ("flat.psd", ["-flatten"]),
    ("rgb.pcx", []),
    ("palette.pcx", ["-colors", "16", "-type", "Palette"]),
    ("icon.ico", ["-resize", "16x16!"]),
    ("rgb.ppm", []),
    ("grey.pgm", []),
    ("mono.pbm", []),
    ("ascii.ppm", ["-compress", "None"]),
    ("picture.xpm", ["-colors", "8"]),
    ("picture.hdr", []),
    ("picture.sgi", []),
    ("picture.ras", []),
    ("picture.webp", ["-quality", "50"]),
    ("picture.jp2", []),
    ("picture.exr", []),
    ("picture.dds", []),
    ("picture.pfm", []),
    ("picture.xbm", []),
]


def converted_pictures(workdir):
    """Small pictures in many formats and depths, by ImageMagick."""
    out = {}
    try:
        subprocess.run(["convert", "-version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    except (OSError, subprocess.CalledProcessError):
        print("gen_fuzz_seeds: no ImageMagick; picture seeds are the hand-made ones only", file=sys.stderr)
        return out
    source = ["-size", "13x9", "gradient:#d02030-#20a0f0"]
    for name, args in CONVERSIONS:
        target = os.path.join(workdir, name)
        # A trailing "FORMAT:" argument is a prefix of the output name.
        prefix = ""
        if args and args[-1].endswith(":"):
            prefix, args = args[-1], args[:-1]
        cmd = ["convert"] + source + args + [prefix + target]
        if subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0 \
                and os.path.exists(target) and os.path.getsize(target) > 0:
            with open(target, "rb") as f:
                out[name] = f.read()
    return out


def image_seeds():
    exts = image_extensions()
    pictures = dict(png_comment_seeds())
    # Headers that lie about the size.
    huge = SIG + chunk(b"IHDR", struct.pack(">IIBBBBB", 65535, 65535, 8, 2, 0, 0, 0)) + \
        chunk(b"IDAT", zlib.compress(b"\0" * 16)) + chunk(b"IEND", b"")
    pictures["huge_header.png"] = huge
    pictures["grey16_hand.png"] = png(3, 3, colour=0, depth=16)
    pictures["grey_alpha.png"] = png(3, 3, colour=4)
    pictures["grey1_key.png"] = grey_keyed(9, 5, 1, 1)
    pictures["grey2_key_gamma_interlaced.png"] = grey_keyed(9, 5, 2, 2, gamma=100000, interlaced=True)
    pictures["grey4_key_high_bits.png"] = grey_keyed(7, 3, 4, 0xA506)
    pictures["grey8_key_gamma.png"] = grey_keyed(6, 4, 8, 7, gamma=45455)
    pictures["grey16_key_interlaced.png"] = grey_keyed(5, 9, 16, 3 * 4099, interlaced=True)
    bmp_header = b"BM" + struct.pack("<IHHI", 54 + 12, 0, 0, 54) + \
        struct.pack("<IiiHHIIiiII", 40, 2, -2, 1, 24, 0, 12, 2835, 2835, 0, 0)
    pictures["top_down.bmp"] = bmp_header + bytes(range(12))
    tga = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 2, 2, 24, 0x20) + bytes(range(12))
    pictures["hand.tga"] = tga
    with tempfile.TemporaryDirectory() as tmp:
        pictures.update(converted_pictures(tmp))

    seeds = {}
    for name, data in pictures.items():
        ext = os.path.splitext(name)[1].lower()
        # Content-detected formats get no extension; TGA and the others that
        # FreeImage finds by name only carry theirs.
        index = exts.index(ext) if ext in exts and ext in (".tga", ".ico", ".pcx", ".dds", ".hdr") else 0
        seeds[name] = bytes([index]) + data
        if ext in exts and index == 0:
            seeds["named_" + name] = bytes([exts.index(ext)]) + data
    return seeds


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, "seed_" + name), "wb") as f:
            f.write(data)


def main():
    if len(sys.argv) != 2:
        print("usage: gen_fuzz_seeds.py OUT_DIR", file=sys.stderr)
        return 2
    out = sys.argv[1]
    write(os.path.join(out, "fuzz_png_comment"), png_comment_seeds())
    write(os.path.join(out, "fuzz_jpeg_comment"), jpeg_comment_seeds())
    write(os.path.join(out, "fuzz_config"), config_seeds())
    write(os.path.join(out, "fuzz_artwork_metadata"), artwork_seeds())
    write(os.path.join(out, "fuzz_gradient_comment"), gradient_comment_seeds())
    write(os.path.join(out, "fuzz_brush_comment"), brush_comment_seeds())
    write(os.path.join(out, "fuzz_image_load"), image_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main())
