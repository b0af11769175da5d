#!/usr/bin/env bash
# Takes the manual's pictures from the running program: the tool window as it
# starts, and one stroke in each brush style, drawn with the mouse on the
# default canvas and cropped around the stroke.
# Usage: screenshot_manual.sh WYRLE_BIN TOOLS_DIR SOURCE_DIR OUT_DIR
# writes OUT_DIR/toolwindow.png and OUT_DIR/stroke-{wyrle,follow,ribbon}.png.
source "$(dirname "$0")/lib.sh" "$@"
OUT="${4:?output folder}"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v import >/dev/null || fail "ImageMagick's import is missing"
STYLES=(wyrle follow ribbon)
mkdir -p "$OUT"
# A failed run leaves no picture of an earlier one behind.
rm -f "$OUT/toolwindow.png" "$OUT"/stroke-*.png
xvfb_start
export GSETTINGS_BACKEND=memory
wyrle_start_windows
draw="$(wait_window ' 201 28 960 682 "' 10)" || fail "the drawing window was not placed"
read -r draw_id dx dy _ <<<"$draw"
read -r _ tx ty tw th _ <<<"$("$XWIN" list | awk -v id="$tool_id" '$1 == id')"
[ -n "$th" ] || fail "the tool window has no geometry"

# The trail of a stroke runs on after the release: a shot is taken once two
# looks half a second apart agree.
SETTLE_GAP=0.5
settled_shot "$OUT/toolwindow.png" "${tw}x${th}+${tx}+${ty}"

# The style buttons' centres in the tool window, left to right.
style_x=(35 80 127)
style_y=344
# The 800 x 600 canvas sits at (80, 41) in the drawing window at 100 %; the
# stroke is a quick wave across its middle (a quick hand lets the chain
# swing out and shows the style), the crop a band around it.
cx=$((dx + 80)) cy=$((dy + 41))
crop="700x380+$((cx + 50))+$((cy + 110))"
# The empty canvas there, the pointer on the tool window as after a click on
# a style button.
xdotool mousemove $((tx + 5)) $((ty + 300))
settled_shot "$WORK_DIR/blank.png" "$crop"
cleared() {
  settled_shot "$WORK_DIR/cleared.png" "$crop"
  left="$(differ "$WORK_DIR/blank.png" "$WORK_DIR/cleared.png")"
  [ "$left" -lt 50 ]
}
WAVE_SECONDS=0.4
read -r -a wave <<<"$(awk -v N=20 -v A=70 -v x=$cx -v y=$cy 'BEGIN {
  for (i = 0; i <= N; i++) printf "%d %d ", x + 150 + i * 500 / N, y + 300 + A * sin(i * 6.2832 / (N * 2 / 3)) }')"
# Wyrle, the style the program starts with, last: each click then changes
# the choice, so a click that missed shows.
for n in 1 2 0; do
  xdotool mousemove $((tx + style_x[n])) $((ty + style_y)) click 1
  # The chosen style's button turns orange; grey means the click missed it.
  wait_for 5 button_on $((tx + style_x[n] - 18)) $((ty + style_y - 7)) ||
    fail "the ${STYLES[n]} button was not chosen (its colour: $(screen_rgb $((tx + style_x[n] - 18)) $((ty + style_y - 7))))"
  # Delete clears the stroke before (once it has faded out); a pixel or two
  # where the chain rests may stay.
  engine_ready
  xdotool key Delete
  wait_for 10 cleared || fail "Delete left $left pixels of the stroke before"
  xdotool mousemove "${wave[0]}" "${wave[1]}"
  sleep 2 # the chain gathers at the start
  drag_path "$WAVE_SECONDS" "${wave[@]}"
  # Once the stroke has faded out, the space bar held hides the brush
  # cursor; the pointer stays where the stroke ended.
  engine_ready
  xdotool keydown space
  settled_shot "$OUT/stroke-${STYLES[n]}.png" "$crop"
  xdotool keyup space
  lit="$(convert "$OUT/stroke-${STYLES[n]}.png" -colorspace gray -threshold 10% -format '%[fx:int(mean*w*h)]' info:)"
  [ "$lit" -gt 2000 ] || fail "the ${STYLES[n]} stroke lit only $lit pixels"
done
# The program's end is the other tests' business: the clean-up stops it.
echo "wrote the tool window and three strokes to $OUT"
