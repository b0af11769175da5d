#!/usr/bin/env bash
# Painting in the real program, driven with the mouse and keys: a drag paints
# along its path and nowhere else, undo and redo bring the canvas back and
# forth, pans and zooms move the view without painting, Save writes a PNG
# that opens again with the painted pixels, Delete clears, and Quit ends the
# program with code 0.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
xvfb_start
wyrle_start

wait_window ' 960 682 "' 20 >/dev/null || fail "no drawing window"
# Mapped first, then placed by the engine's set-up.
draw="$(wait_window ' 201 28 960 682 "' 10)" || fail "the drawing window was not placed at (201, 28)"
tool="$(wait_window ' "Wyrle"$' 10)" || fail "no tool window"
read -r draw_id dx dy _ _ _ <<<"$draw"
tool_id="${tool%% *}"

focus_draw() { xdotool windowfocus "$draw_id" 2>/dev/null; sleep 0.2; }
# The 800 x 600 default canvas sits at (80, 41) in the window at 100 %; the
# shots take its inside, without the frame. The space bar held in the
# drawing window hides the brush cursor while a shot is taken.
cx=$((dx + 80)) cy=$((dy + 41))
shot() {
  xdotool mousemove $((dx + 940)) $((dy + 665))
  focus_draw
  xdotool keydown space
  sleep 1
  import -window root -crop "796x596+$((cx + 2))+$((cy + 2))" +repage "$1"
  xdotool keyup space
}
differ() { compare -metric AE "$1" "$2" /dev/null 2>&1; }
# Window pixels to shot pixels.
sx() { echo $(($1 - 82)); }
sy() { echo $(($1 - 43)); }

wait_title '^wyrleArtwork.png \| 800x600 pixels \| 100% '
sleep 1
shot "$WORK_DIR/blank.png"

# A drag from (300, 250) to (650, 430) in the window.
x0=300 y0=250 x1=650 y1=430
drag_line $x0 $y0 $x1 $y1
sleep 1
shot "$WORK_DIR/stroke.png"
changed="$(differ "$WORK_DIR/blank.png" "$WORK_DIR/stroke.png")"
[ "$changed" -gt 1000 ] || fail "the drag changed only $changed pixels"
# Outside a band around the drag nothing changed. The chain is about as long
# as it has particles (100), so the band reaches that far from the path.
band() {
  convert "$1" -fill black -stroke black -strokewidth 220 \
    -draw "stroke-linecap round line $(sx $x0),$(sy $y0) $(sx $x1),$(sy $y1)" "$2"
}
band "$WORK_DIR/blank.png" "$WORK_DIR/blank_band.png"
band "$WORK_DIR/stroke.png" "$WORK_DIR/stroke_band.png"
outside="$(differ "$WORK_DIR/blank_band.png" "$WORK_DIR/stroke_band.png")"
[ "$outside" = 0 ] || fail "the drag changed $outside pixels far from its path"
echo "a drag painted $changed pixels along its path and none elsewhere"

# Ctrl+Z in the drawing window brings the blank canvas back, Ctrl+Shift+Z the stroke.
focus_draw
xdotool key ctrl+z
shot "$WORK_DIR/undone.png"
[ "$(differ "$WORK_DIR/blank.png" "$WORK_DIR/undone.png")" = 0 ] || fail "Ctrl+Z did not restore the canvas"
focus_draw
xdotool key ctrl+shift+z
shot "$WORK_DIR/redone.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/redone.png")" = 0 ] || fail "Ctrl+Shift+Z did not bring the stroke back"
echo "Ctrl+Z and Ctrl+Shift+Z undid and redid the stroke"

# Space held while dragging pans; a right drag back returns the view. Neither paints.
focus_draw
xdotool mousemove $((dx + 500)) $((dy + 300)) keydown space
sleep 1.5  # long enough for the key to repeat
xdotool mousedown 1
for i in $(seq 20); do
  xdotool mousemove $((dx + 500 - i * 5)) $((dy + 300 + i * 3))
  sleep 0.03
done
sleep 0.3
xdotool mouseup 1
xdotool keyup space
shot "$WORK_DIR/panned.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/panned.png")" != 0 ] || fail "space and a drag did not move the view"
xdotool mousemove $((dx + 400)) $((dy + 360)) mousedown 3
for i in $(seq 20); do
  xdotool mousemove $((dx + 400 + i * 5)) $((dy + 360 - i * 3))
  sleep 0.03
done
sleep 0.3
xdotool mouseup 3
shot "$WORK_DIR/back.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/back.png")" = 0 ] ||
  fail "after a pan and a pan back the canvas differs: a pan painted, or the view did not come back"
echo "space-drag and right-drag panned without painting"

# The zoom keys change the view.
focus_draw
xdotool key minus
wait_title ' 70% '
shot "$WORK_DIR/zoomed.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/zoomed.png")" != 0 ] || fail "- did not change the view"
focus_draw
xdotool key slash
wait_title ' 100% '
shot "$WORK_DIR/unzoomed.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/unzoomed.png")" = 0 ] || fail "/ did not bring the view back"
echo "- and / zoomed out and back"

# Ctrl+S asks for a name (nothing was saved yet), then writes the PNG.
saved="$WORK_DIR/painted.png"
save_as_new "$saved"
sleep 0.5
convert "$saved" -crop "796x596+2+2" +repage "$WORK_DIR/saved_inner.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/saved_inner.png")" = 0 ] ||
  fail "the saved picture differs from the canvas on screen"
echo "Ctrl+S saved the painting as a PNG"

# Delete clears the canvas.
focus_draw
xdotool key Delete
shot "$WORK_DIR/cleared.png"
[ "$(differ "$WORK_DIR/blank.png" "$WORK_DIR/cleared.png")" = 0 ] || fail "Delete did not clear the canvas"
echo "Delete cleared the canvas"

# Ctrl+O opens the saved picture again: the painting is back.
open_picture "$saved"
wait_title '^painted.png \| 800x600 pixels \| 100% '
shot "$WORK_DIR/reopened.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/reopened.png")" = 0 ] ||
  fail "the reopened picture differs from the painting"
echo "Ctrl+O opened the saved painting"

# Quit, the last item of the File menu, ends the program with code 0.
quit_from_menu "$tool_id"
