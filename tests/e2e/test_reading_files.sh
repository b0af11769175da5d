#!/usr/bin/env bash
# Files the real program reads and that are not what they should be, or more
# than they need be: a TIFF as ImageMagick writes it opens through the Open
# dialog with no error box and its name in the title; a text file named .png
# and 10000 x 10000 pictures in the gradient and brush libraries are listed
# and clicked with no assertion, and the program's peak resident memory stays
# within 60 MB of the same session with clean library folders.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v python3 >/dev/null || fail "python3 is not installed"
xvfb_start
RUN="$WORK_DIR/run"

# A complete w x h black PNG of 1-bit grey, a few hundred kilobytes.
black_png() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys, zlib
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
z, row, idat = zlib.compressobj(9), b"\0" * (1 + (w + 7) // 8), b""
for _ in range(h):
    idat += z.compress(row)
idat += z.flush()
with open(path, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 1, 0, 0, 0, 0))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
PY
}
peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$WYRLE_PID/status"; }
error_boxes() { "$XWIN" list | grep -ciE '"[^"]*error[^"]*"$'; }

# --- A TIFF through the Open dialog.
mkdir -p "$RUN"
cp "$SOURCE_DIR/tests/data/pictures/written-by-imagemagick.tif" "$RUN/picture.tif"
wyrle_start_windows
wait_title '^wyrleArtwork.png '
open_picture "$RUN/picture.tif"
wait_title '^picture.tif \| 6x4 pixels '
# The toolkit shows its log boxes when it is idle: once the tool window has
# answered and the screen is still, one would be up.
"$XWIN" ping "$tool_id" 10000 >/dev/null || fail "the tool window did not answer after the open"
settled_shot "$WORK_DIR/opened.png"
[ "$(error_boxes)" = 0 ] || fail "opening the TIFF showed an error box: $("$XWIN" list | grep -i error)"
quit_from_menu "$tool_id"
# Written once the program has ended (standard output is a file).
grep -q "unknown tag" "$WORK_DIR/out.txt" || fail "the TIFF reader's messages are not in the log"
echo "the TIFF opened with its name in the title and no error box, its reader's messages in the log"

# --- One session with the libraries: the Gradient Tool shown, its first
# two rows clicked, the brush library shown. Prints the peak memory in kB.
at() { xdotool mousemove $((gx + $1)) $((gy + $2)); }
session() {
  wyrle_start_windows
  wait_title ' 100% '
  show_gradient_tool
  # Each click handled (the tool answers after it) and drawn.
  local row
  for row in 268 303; do
    at 113 "$row" && xdotool click 1
    "$XWIN" ping "$gradient_id" 10000 >/dev/null || fail "the Gradient Tool did not answer after a click"
    settled_window "$gradient_id"
  done
  preview="$(import -window root -crop "1x1+$((gx + 200))+$((gy + 50))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')"
  xdotool mousemove --window "$tool_id" 166 338 click 1
  local lib
  lib="$(wait_window ' "Brushes"$' 10)" || fail "the brush library did not show"
  settled_window "${lib%% *}"
  settled_shot "${WYRLE_E2E_SHOTS:-$WORK_DIR}/$1.png"
  peak="$(peak_kb)"
  quit_from_menu "$tool_id"
}

session clean
clean="$peak"
[ "$preview" != "#000000" ] || fail "the preview is black with no rows to click"
black_png "$RUN/Gradients/huge.png" 10000 10000
echo "no picture, only words" >"$RUN/Gradients/text.png"
black_png "$RUN/Brushes/huge.png" 10000 10000
black_png "$RUN/Brushes/Icons/huge.png" 10000 10000
session dirty
dirty="$peak"
# A row whose picture cannot be read gives nine black stops.
[ "$preview" = "#000000" ] || fail "clicking the rows did not give nine black stops (the preview shows $preview)"
echo "peak resident memory: $((clean / 1024)) MB with clean libraries, $((dirty / 1024)) MB with the large and broken pictures"
grep -qi "assert" "$WORK_DIR/out.txt" && fail "an assertion in the program's output: $(grep -i assert "$WORK_DIR/out.txt")"
[ "$dirty" -le $((clean + 60 * 1024)) ] || fail "the large pictures took $(((dirty - clean) / 1024)) MB more"
echo "the libraries listed and loaded the pictures with no assertion, within 60 MB"
