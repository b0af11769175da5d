#!/usr/bin/env bash
# The brush library in the real program: "New", a stroke in the capture box
# and OK save a preset "test" (sample and icon with the same comment); an
# icon removed by hand comes back and a stray one goes when the library is
# closed and shown again; "X" and Yes delete the preset and its row; "New"
# and then the close box end a capture and give the canvas back as it was;
# Ctrl+S during a capture saves the artwork once the capture has ended, never
# the capture's sample.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
xvfb_start
wyrle_start_windows
RUN="$WORK_DIR/run"

# The PNG comment of a file ("<none>" without one).
comment() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
pos, text = 8, "<none>"
while pos + 8 <= len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"tEXt" and body.startswith(b"Comment\0"):
        text = body[8:].decode("latin-1")
    pos += 12 + length
print(text)
EOF
}
# The colour of one screen pixel as "r,g,b".
pixel() { import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p' | head -n1; }
# The canvas (800 x 600 at 100 %, at (80, 41) in the window), with the brush
# cursor hidden by the space bar held in the drawing window; with "same" or
# "differs" and a picture, once it is (no longer) that picture.
CANVAS="796x596+$((dx + 82))+$((dy + 43))"
shot() {
  xdotool mousemove $((dx + 940)) $((dy + 665))
  focus_window "$draw_id"
  xdotool keydown space
  local found=0
  if [ $# = 1 ]; then
    settled_shot "$1" "$CANVAS"
  else
    shot_until "$1" "$2" "$3" "$CANVAS" || found=1
  fi
  xdotool keyup space
  return "$found"
}
drag() { drag_line "$@"; }
row_is() { [ "$(pixel $(in_lib $ROW0_X "$1"))" "$2" "$LIST_BG" ]; }
# The library: the Brushes button of the tool window; its window sits at
# (1165, -2) with its list area at the top and the capture row below it;
# places in it are given from its inside's corner (lx, ly).
brushes_button() { xdotool mousemove --window "$tool_id" 166 338 click 1; }
NEW_X=19 NAME_X=93 OK_X=158 ROW_Y=219
LIST_BG="84,80,76"
ROW0_X=42 ROW0_Y=38 ROW1_Y=115  # the middle of the first and second row's icon
in_lib() { echo $((lx + $1)) $((ly + $2)); }
show_library() {
  brushes_button
  lib="$(wait_window ' 173 500 "Brushes"$' 10)" || fail "the brush library did not show"
  read -r lib_id lx ly _ <<<"$lib"
  settled_window "$lib_id"
}
close_library() {
  "$XWIN" close "$lib_id"
  wait_gone '"Brushes"$' || fail "the close box did not hide the library"
}
# "New" in the library: the canvas shows the capture instead of the artwork.
new_capture() {
  xdotool mousemove $(in_lib $NEW_X $ROW_Y) click 1
  shot differs "$WORK_DIR/artwork.png" "$WORK_DIR/capture.png" || fail "New showed no capture"
}

wait_title '^wyrleArtwork.png \| 800x600 pixels \| 100% '
drag 150 120 350 260
# The stroke has ended (the screen can look still before): the capture's end
# gives back the canvas as the undo ring holds it.
engine_ready
shot "$WORK_DIR/artwork.png"

# 1. Save a preset "test".
show_library
new_capture
drag 440 320 520 370
focus_window "$lib_id"
xdotool mousemove $(in_lib $NAME_X $ROW_Y) click 1
xdotool key ctrl+a
type_text test 30
xdotool mousemove $(in_lib $OK_X $ROW_Y) click 1
wait_for 5 test -f "$RUN/Brushes/Icons/test.png"
[ -f "$RUN/Brushes/test.png" ] || fail "no Brushes/test.png after OK"
[ -f "$RUN/Brushes/Icons/test.png" ] || fail "no Brushes/Icons/test.png after OK"
saved="$(comment "$RUN/Brushes/test.png")"
[[ "$saved" == V\|150\|C\|*\|END ]] || fail "the preset's comment is \"$saved\""
[ "$(comment "$RUN/Brushes/Icons/test.png")" = "$saved" ] || fail "the icon's comment differs from the preset's"
[ "$(identify -format %wx%h "$RUN/Brushes/test.png")" = 256x256 ] || fail "the sample is not 256 x 256"
[ "$(identify -format %wx%h "$RUN/Brushes/Icons/test.png")" = 64x64 ] || fail "the icon is not 64 x 64"
shot same "$WORK_DIR/artwork.png" "$WORK_DIR/after_save.png" || fail "the save did not give the canvas back"
echo "OK saved the preset with one comment in both files and ended the capture"

# 2. Icons come back from their presets; stray ones go.
rm "$RUN/Brushes/Icons/test.png"
cp "$RUN/Brushes/test.png" "$RUN/Brushes/Icons/stale.png"
close_library
show_library
[ -f "$RUN/Brushes/Icons/test.png" ] || fail "the missing icon was not rebuilt"
[ "$(comment "$RUN/Brushes/Icons/test.png")" = "$saved" ] || fail "the rebuilt icon lost the comment"
[ "$(identify -format %wx%h "$RUN/Brushes/Icons/test.png")" = 64x64 ] || fail "the rebuilt icon is not 64 x 64"
[ ! -e "$RUN/Brushes/Icons/stale.png" ] || fail "the stray icon was not removed"
[ "$(pixel $(in_lib $ROW0_X $ROW0_Y))" != "$LIST_BG" ] || fail "no row for the preset"
[ "$(pixel $(in_lib $ROW0_X $ROW1_Y))" = "$LIST_BG" ] || fail "more than one row listed"
import -window root -crop "173x500+$lx+$((ly + 2))" +repage "$WORK_DIR/library.png"
echo "the icon was rebuilt with its comment, the stray icon removed, one row listed"

# 3. "X" on "test", then Yes.
xdotool mousemove $(in_lib 144 8) click 1
info="$(wait_window '"Info"$' 10)" || fail "X asked nothing"
focus_window "${info%% *}"
xdotool key alt+y
wait_for 5 test ! -e "$RUN/Brushes/test.png"
[ ! -e "$RUN/Brushes/test.png" ] || fail "Yes left Brushes/test.png"
[ ! -e "$RUN/Brushes/Icons/test.png" ] || fail "Yes left Brushes/Icons/test.png"
wait_for 5 row_is $ROW0_Y = || fail "the deleted preset's row is still shown"
echo "X and Yes deleted both files and the row"

# 4. "New", then the close box: the capture ends, the canvas comes back.
new_capture
drag 460 330 500 360
shot differs "$WORK_DIR/capture.png" "$WORK_DIR/capturing.png" || fail "the drag painted nothing into the capture"
close_library
shot same "$WORK_DIR/artwork.png" "$WORK_DIR/closed.png" || fail "the close box did not give the canvas back"
echo "the close box ended the capture and the canvas is as it was"

# 5. Saved as a.png, painted on, then Ctrl+S (which saves without asking)
# while a capture runs, and the capture ended with "New".
save_as_new "$RUN/a.png"
cp "$RUN/a.png" "$WORK_DIR/first.png"
drag 200 380 420 520
engine_ready
shot "$WORK_DIR/painting.png"
[ "$(differ "$WORK_DIR/closed.png" "$WORK_DIR/painting.png")" != 0 ] || fail "the second stroke painted nothing"
show_library
xdotool mousemove $(in_lib $NEW_X $ROW_Y) click 1
shot differs "$WORK_DIR/painting.png" "$WORK_DIR/capture2.png" || fail "New showed no capture"
drag 450 320 500 350
shot differs "$WORK_DIR/capture2.png" "$WORK_DIR/sampled.png" || fail "the drag painted nothing into the capture"
# Keys wait while the stroke fades out.
engine_ready
xdotool key ctrl+s
# A stroke after the key shows that frames went on meanwhile.
drag 470 300 490 380
shot differs "$WORK_DIR/sampled.png" "$WORK_DIR/sampled_again.png" || fail "no stroke in the capture box after Ctrl+S"
cmp -s "$RUN/a.png" "$WORK_DIR/first.png" || fail "Ctrl+S during the capture wrote a.png at once"
# One more stroke and "New" at once, while it still fades out: its tail
# stays in the capture.
drag 480 310 500 370
xdotool mousemove $(in_lib $NEW_X $ROW_Y) click 1
a_png_changed() { ! cmp -s "$RUN/a.png" "$WORK_DIR/first.png"; }
wait_for 10 a_png_changed || fail "the save asked for during the capture never came"
shot same "$WORK_DIR/painting.png" "$WORK_DIR/ended.png" || fail "the capture's end did not give the canvas back"
convert "$RUN/a.png" -crop 796x596+2+2 +repage "$WORK_DIR/a_inside.png"
[ "$(differ "$WORK_DIR/a_inside.png" "$WORK_DIR/painting.png")" = 0 ] || fail "a.png does not hold the painting"
grep -q "assert" "$WORK_DIR/out.txt" && fail "an assertion in the program's output"
echo "Ctrl+S during the capture saved the painting pixel for pixel once the capture ended"

grep -E "Gtk-(WARNING|CRITICAL)" "$WORK_DIR/out.txt" && fail "GTK complained about the rows"
quit_from_menu "$tool_id"
