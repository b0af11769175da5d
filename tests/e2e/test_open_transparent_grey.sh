#!/usr/bin/env bash
# A grey PNG whose tRNS chunk makes one grey level transparent (4 bits a
# sample, interlaced, with a gAMA chunk), opened as the artwork in the real
# program: the artwork has alpha, and the transparent pixels are exactly the
# ones of that level, in the saved file and again after that file is opened
# and saved once more.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v convert >/dev/null || fail "ImageMagick's convert is not installed"
command -v python3 >/dev/null || fail "python3 is not installed"
xvfb_start

# The picture and the alpha it must load with (one byte a pixel, 0 where the
# sample is the key, 255 elsewhere).
W=120 H=90
python3 - "$WORK_DIR/grey_key.png" "$WORK_DIR/mask.gray" $W $H <<'PY'
import struct, sys, zlib
path, mask_path, w, h = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
KEY = 6
def sample(x, y):
    if 30 <= x < 90 and 20 <= y < 70:
        return KEY if (x // 10 + y // 10) % 2 else 12  # a checkered block
    return (x // 8 + y // 6) % 16  # bands; level 6 among them
rows = [[sample(x, y) for x in range(w)] for y in range(h)]
def line(values):
    values = values + [0] * (len(values) % 2)
    return b"\0" + bytes(values[i] << 4 | values[i + 1] for i in range(0, len(values), 2))
raw = b""
for x0, y0, dx, dy in [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]:
    if x0 < w and y0 < h:
        raw += b"".join(line(rows[y][x0::dx]) for y in range(y0, h, dy))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 4, 0, 0, 0, 1)) +
       chunk(b"gAMA", struct.pack(">I", 100000)) + chunk(b"tRNS", struct.pack(">H", KEY)) +
       chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
open(path, "wb").write(png)
open(mask_path, "wb").write(bytes(0 if v == KEY else 255 for row in rows for v in row))
PY
[ -s "$WORK_DIR/grey_key.png" ] || fail "the test picture was not written"

wyrle_start_windows
wait_title '^wyrleArtwork.png \| 800x600 pixels \| '

# The alpha of a saved file must be the picture's own.
check_alpha() {
  convert "$1" -alpha extract -depth 8 "gray:$WORK_DIR/alpha.gray" || fail "cannot read $1"
  cmp -s "$WORK_DIR/alpha.gray" "$WORK_DIR/mask.gray" ||
    fail "the alpha of $(basename "$1") is not the picture's transparency ($(cmp "$WORK_DIR/alpha.gray" "$WORK_DIR/mask.gray"))"
}

open_picture "$WORK_DIR/grey_key.png"
wait_title "^grey_key.png \| ${W}x${H} pixels with Alpha \| "
save_as_new "$WORK_DIR/first.png"
check_alpha "$WORK_DIR/first.png"
echo "the opened grey picture was saved with its transparent pixels"

open_picture "$WORK_DIR/first.png"
wait_title "^first.png \| ${W}x${H} pixels with Alpha \| "
save_as_new "$WORK_DIR/second.png"
check_alpha "$WORK_DIR/second.png"
convert "$WORK_DIR/first.png" -depth 8 "rgba:$WORK_DIR/first.rgba"
convert "$WORK_DIR/second.png" -depth 8 "rgba:$WORK_DIR/second.rgba"
cmp -s "$WORK_DIR/first.rgba" "$WORK_DIR/second.rgba" || fail "saving the reopened artwork changed its pixels"
echo "reopened and saved again, the artwork kept every pixel"

quit_from_menu "$tool_id"
