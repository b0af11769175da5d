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

# The 800 x 600 default canvas sits at (80, 41) in the window at 100 %; the
# shots take its inside, without the frame. The space bar held in the
# drawing window hides the brush cursor while a shot is taken.
cx=$((dx + 80)) cy=$((dy + 41))
CANVAS="796x596+$((cx + 2))+$((cy + 2))"
hide_cursor() {
  xdotool mousemove $((dx + 940)) $((dy + 665))
  engine_ready
  xdotool keydown space
}
shot() {
  hide_cursor
  settled_shot "$1" "$CANVAS"
  xdotool keyup space
}
# shot_after same|differs REF FILE: the canvas once it is (no longer) REF.
shot_after() {
  hide_cursor
  shot_until "$1" "$2" "$3" "$CANVAS"
  local found=$?
  xdotool keyup space
  return "$found"
}
# Window pixels to shot pixels.
sx() { echo $(($1 - 82)); }
sy() { echo $(($1 - 43)); }

wait_title '^wyrleArtwork.png \| 800x600 pixels \| 100% '
shot "$WORK_DIR/blank.png"

# A drag from (300, 250) to (650, 430) in the window.
x0=300 y0=250 x1=650 y1=430
drag_line $x0 $y0 $x1 $y1
shot_after differs "$WORK_DIR/blank.png" "$WORK_DIR/stroke.png" || fail "the drag left no mark"
changed="$(differ "$WORK_DIR/blank.png" "$WORK_DIR/stroke.png")"
[ "$changed" -gt 1000 ] || fail "the drag changed only $changed pixels"
# Outside a band around the drag nothing changed. The chain is about as long
# as it has particles (100), so the band reaches that far from the path; after
# the release the chain runs on along the drag until it comes to rest (up to
# 100 pixels past the end was seen), so the band goes on 150 pixels further.
read -r ex ey <<<"$(awk -v x0=$x0 -v y0=$y0 -v x1=$x1 -v y1=$y1 'BEGIN {
  l = sqrt((x1 - x0) ^ 2 + (y1 - y0) ^ 2); printf "%d %d", x1 + 150 * (x1 - x0) / l, y1 + 150 * (y1 - y0) / l }')"
band() {
  convert "$1" -fill black -stroke black -strokewidth 220 \
    -draw "stroke-linecap round line $(sx $x0),$(sy $y0) $(sx $ex),$(sy $ey)" "$2"
}
band "$WORK_DIR/blank.png" "$WORK_DIR/blank_band.png"
band "$WORK_DIR/stroke.png" "$WORK_DIR/stroke_band.png"
outside="$(differ "$WORK_DIR/blank_band.png" "$WORK_DIR/stroke_band.png")"
[ "$outside" = 0 ] || fail "the drag changed $outside pixels far from its path"
echo "a drag painted $changed pixels along its path and none elsewhere"

# Ctrl+Z in the drawing window brings the blank canvas back, Ctrl+Shift+Z the stroke.
engine_ready
xdotool key ctrl+z
shot_after same "$WORK_DIR/blank.png" "$WORK_DIR/undone.png" || fail "Ctrl+Z did not restore the canvas"
focus_window "$draw_id"
xdotool key ctrl+shift+z
shot_after same "$WORK_DIR/stroke.png" "$WORK_DIR/redone.png" || fail "Ctrl+Shift+Z did not bring the stroke back"
echo "Ctrl+Z and Ctrl+Shift+Z undid and redid the stroke"

# Space held while dragging pans; a right drag back returns the view. Neither
# paints. The pan takes hold at the engine's next frame, which hides the
# brush cursor; a drag lets go once the view stands still.
AROUND="200x200+$((dx + 400))+$((dy + 200))"
focus_window "$draw_id"
xdotool mousemove $((dx + 500)) $((dy + 300))
settled_shot "$WORK_DIR/cursor.png" "$AROUND"
xdotool keydown space
shot_until differs "$WORK_DIR/cursor.png" "$WORK_DIR/no_cursor.png" "$AROUND" ||
  fail "space held did not hide the brush cursor"
drag_path -k 0.6 $((dx + 500)) $((dy + 300)) $((dx + 400)) $((dy + 360))
settled_shot "$WORK_DIR/panning.png" "$CANVAS"
xdotool mouseup 1
xdotool keyup space
shot_after differs "$WORK_DIR/stroke.png" "$WORK_DIR/panned.png" || fail "space and a drag did not move the view"
drag_path -b 3 -k 0.6 $((dx + 400)) $((dy + 360)) $((dx + 500)) $((dy + 300))
settled_shot "$WORK_DIR/panning.png" "$CANVAS"
xdotool mouseup 3
shot_after same "$WORK_DIR/stroke.png" "$WORK_DIR/back.png" ||
  fail "after a pan and a pan back the canvas differs: a pan painted, or the view did not come back"
echo "space-drag and right-drag panned without painting"

# The zoom keys change the view.
focus_window "$draw_id"
xdotool key minus
wait_title ' 70% '
shot_after differs "$WORK_DIR/stroke.png" "$WORK_DIR/zoomed.png" || fail "- did not change the view"
focus_window "$draw_id"
xdotool key slash
wait_title ' 100% '
shot_after same "$WORK_DIR/stroke.png" "$WORK_DIR/unzoomed.png" || fail "/ did not bring the view back"
echo "- and / zoomed out and back"

# Ctrl+S asks for a name (nothing was saved yet), then writes the PNG.
saved="$WORK_DIR/painted.png"
save_as_new "$saved"
convert "$saved" -crop "796x596+2+2" +repage "$WORK_DIR/saved_inner.png"
[ "$(differ "$WORK_DIR/stroke.png" "$WORK_DIR/saved_inner.png")" = 0 ] ||
  fail "the saved picture differs from the canvas on screen"
echo "Ctrl+S saved the painting as a PNG"

# Delete clears the canvas.
focus_window "$draw_id"
xdotool key Delete
shot_after same "$WORK_DIR/blank.png" "$WORK_DIR/cleared.png" || fail "Delete did not clear the canvas"
echo "Delete cleared the canvas"

# Ctrl+O opens the saved picture again: the painting is back.
open_picture "$saved"
wait_title '^painted.png \| 800x600 pixels \| 100% '
shot_after same "$WORK_DIR/stroke.png" "$WORK_DIR/reopened.png" ||
  fail "the reopened picture differs from the painting"
echo "Ctrl+O opened the saved painting"

# Quit, the last item of the File menu, ends the program with code 0.
quit_from_menu "$tool_id"
