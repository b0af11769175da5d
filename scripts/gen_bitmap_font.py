#!/usr/bin/env python3
"""Build framework/ofBitmapFontData.cpp from the X11 misc-fixed 8x13 font.

The font comes from Debian's xfonts-base package (public domain). We read the
PCF file directly, so no conversion tools are needed.

Each glyph record is 15 bytes: the advance width, then 14 rows, bottom row
first, most significant bit leftmost. The bottom row lies 3 pixels below the
baseline (glBitmap's y origin), so the font's 2-pixel descent leaves the first
row blank. The space and the codes 127 to 159 share one blank record; codes the
font lacks use it too.

Usage: scripts/gen_bitmap_font.py [font.pcf.gz|font.pcf|font.bdf] [output.cpp]
"""

import gzip
import os
import struct
import sys

DEFAULT_FONT = "/usr/share/fonts/X11/misc/8x13-ISO8859-1.pcf.gz"
ROWS = 14
Y_ORIGIN = 3  # rows below the baseline
ADVANCE = 8

PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_COMPRESSED_METRICS = 0x100


class Glyph:
    def __init__(self, lsb, rsb, width, ascent, descent, rows):
        self.lsb, self.rsb, self.width = lsb, rsb, width
        self.ascent, self.descent = ascent, descent
        # rows: list of ints, top row first, bit (rsb - lsb - 1 - k) is column lsb + k
        self.rows = rows


def read_file(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    return data


class Reader:
    def __init__(self, data, pos, fmt):
        self.data, self.pos = data, pos
        self.big = bool(fmt & 4)

    def _get(self, code, size):
        value = struct.unpack((">" if self.big else "<") + code, self.data[self.pos:self.pos + size])[0]
        self.pos += size
        return value

    def i32(self):
        return self._get("i", 4)

    def i16(self):
        return self._get("h", 2)

    def u16(self):
        return self._get("H", 2)

    def u8(self):
        value = self.data[self.pos]
        self.pos += 1
        return value


def parse_pcf(data):
    if data[:4] != b"\x01fcp":
        raise ValueError("not a PCF font")
    (count,) = struct.unpack("<i", data[4:8])
    tables = {}
    for i in range(count):
        ttype, fmt, size, offset = struct.unpack("<iiii", data[8 + 16 * i:24 + 16 * i])
        tables[ttype] = (fmt, offset)

    def table(ttype):
        fmt, offset = tables[ttype]
        # Every table repeats its format word, always little-endian.
        (own,) = struct.unpack("<i", data[offset:offset + 4])
        if own != fmt:
            raise ValueError("inconsistent PCF table format")
        return fmt, Reader(data, offset + 4, fmt)

    fmt, r = table(PCF_METRICS)
    metrics = []
    if fmt & PCF_COMPRESSED_METRICS:
        for _ in range(r.i16()):
            lsb, rsb, width, asc, desc = (r.u8() - 0x80 for _ in range(5))
            metrics.append((lsb, rsb, width, asc, desc))
    else:
        for _ in range(r.i32()):
            lsb, rsb, width, asc, desc = (r.i16() for _ in range(5))
            r.u16()
            metrics.append((lsb, rsb, width, asc, desc))

    fmt, r = table(PCF_BITMAPS)
    nglyphs = r.i32()
    offsets = [r.i32() for _ in range(nglyphs)]
    sizes = [r.i32() for _ in range(4)]
    base = r.pos
    pad = 1 << (fmt & 3)
    msb_bit_first = bool(fmt & 8)
    big_bytes = bool(fmt & 4)
    unit = 1 << ((fmt >> 4) & 3)
    del sizes

    glyphs = []
    for index, (lsb, rsb, width, asc, desc) in enumerate(metrics):
        bits = rsb - lsb
        stride = ((bits + 7) // 8 + pad - 1) // pad * pad
        start = base + offsets[index]
        rows = []
        for y in range(asc + desc):
            raw = bytearray(data[start + y * stride:start + (y + 1) * stride])
            if big_bytes != msb_bit_first and unit > 1:
                for k in range(0, len(raw), unit):
                    raw[k:k + unit] = raw[k:k + unit][::-1]
            if not msb_bit_first:
                raw = bytearray(int("{:08b}".format(b)[::-1], 2) for b in raw)
            value = int.from_bytes(bytes(raw), "big")
            value >>= stride * 8 - bits
            rows.append(value)
        glyphs.append(Glyph(lsb, rsb, width, asc, desc, rows))

    fmt, r = table(PCF_BDF_ENCODINGS)
    min2, max2, min1, max1 = r.i16(), r.i16(), r.i16(), r.i16()
    r.i16()  # default char
    by_code = {}
    for b1 in range(min1, max1 + 1):
        for b2 in range(min2, max2 + 1):
            index = r.u16()
            if index != 0xFFFF and b1 == 0:
                by_code[b2] = glyphs[index]
    return by_code


def parse_bdf(text):
    by_code = {}
    lines = iter(text.splitlines())
    for line in lines:
        if not line.startswith("STARTCHAR"):
            continue
        code, bbx, rows = None, None, []
        for line in lines:
            key = line.split()[0] if line.split() else ""
            if key == "ENCODING":
                code = int(line.split()[1])
            elif key == "BBX":
                bbx = [int(v) for v in line.split()[1:5]]
            elif key == "BITMAP":
                for line in lines:
                    if line.startswith("ENDCHAR"):
                        break
                    rows.append(int(line.strip(), 16))
                break
        if code is None or bbx is None or not 0 <= code <= 255:
            continue
        w, h, xoff, yoff = bbx
        nbytes = (w + 7) // 8
        rows = [row >> (nbytes * 8 - w) for row in rows]
        by_code[code] = Glyph(xoff, xoff + w, ADVANCE, h + yoff, -yoff, rows)
    return by_code


def to_record(glyph):
    """15 bytes: advance, then rows bottom-up with MSB leftmost."""
    out = [0] * ROWS
    bits = glyph.rsb - glyph.lsb
    for k, value in enumerate(glyph.rows):
        y = glyph.ascent - 1 - k  # pixel row relative to the baseline
        row = y + Y_ORIGIN
        for col in range(bits):
            if not value >> (bits - 1 - col) & 1:
                continue
            x = glyph.lsb + col
            if not (0 <= row < ROWS and 0 <= x < 8):
                raise ValueError("glyph pixel outside the 8x14 cell")
            out[row] |= 0x80 >> x
    return [glyph.width] + out


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_FONT
    here = os.path.dirname(os.path.abspath(__file__))
    dst = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "framework", "ofBitmapFontData.cpp")

    data = read_file(src)
    by_code = parse_bdf(data.decode("latin-1")) if data.startswith(b"STARTFONT") else parse_pcf(data)

    blank = [ADVANCE] + [0] * ROWS
    records = []  # (name, bytes)
    names = []
    for code in range(256):
        glyph = by_code.get(code)
        shared_blank = code == 32 or 127 <= code <= 159 or glyph is None
        record = blank if shared_blank else to_record(glyph)
        if record[0] != ADVANCE:
            raise ValueError("glyph %d is not 8 pixels wide" % code)
        if shared_blank:
            names.append("glyphBlank")
        else:
            name = "glyph%03d" % code
            records.append((name, code, record))
            names.append(name)

    out = []
    out.append("// Generated by scripts/gen_bitmap_font.py from the X11 misc-fixed 8x13")
    out.append("// font (%s). Do not edit by hand." % os.path.basename(src))
    out.append("// Each record: advance width, then 14 rows, bottom row first, MSB leftmost.")
    out.append("")
    out.append('#include "ofBitmapFont.h"')
    out.append("")
    out.append("namespace {")
    out.append("")
    out.append("const unsigned char glyphBlank[15] = {%s};" % ", ".join("0x%02x" % b for b in blank))
    for name, code, record in records:
        label = chr(code) if 33 <= code <= 126 else "code %d" % code
        if label == "\\":
            label = "backslash"
        out.append("const unsigned char %s[15] = {%s};  // %s" % (name, ", ".join("0x%02x" % b for b in record), label))
    out.append("")
    out.append("}  // namespace")
    out.append("")
    out.append("const unsigned char* const bmpChar_8x13_Map[256] = {")
    for i in range(0, 256, 8):
        out.append("    " + " ".join(n + "," for n in names[i:i + 8]))
    out.append("};")
    out.append("")

    with open(dst, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
