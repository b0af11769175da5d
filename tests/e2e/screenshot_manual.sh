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

# Pixels of the root window until two looks 0.5 s apart agree (the trail of
# a stroke runs on after the release).
settled_shot() {
  local crop="$1" out="$2" i
  import -window root -crop "$crop" +repage "$WORK_DIR/a.png"
  for i in $(seq 40); do
    sleep 0.5
    import -window root -crop "$crop" +repage "$WORK_DIR/b.png"
    [ "$(compare -metric AE "$WORK_DIR/a.png" "$WORK_DIR/b.png" /dev/null 2>&1)" = 0 ] &&
      { mv "$WORK_DIR/b.png" "$out"; return 0; }
    mv "$WORK_DIR/b.png" "$WORK_DIR/a.png"
  done
  fail "the screen never settled for $out"
}

settled_shot "${tw}x${th}+${tx}+${ty}" "$OUT/toolwindow.png"

# The style buttons' centres in the tool window, left to right.
style_x=(35 80 127)
style_y=344
# The 800 x 600 canvas sits at (80, 41) in the drawing window at 100 %; the
# stroke is a quick wave across its middle (a quick hand lets the chain
# swing out and shows the style), the crop a band around it.
cx=$((dx + 80)) cy=$((dy + 41))
crop="700x380+$((cx + 50))+$((cy + 110))"
wave="$(awk -v N=20 -v A=70 'BEGIN { for (i = 0; i <= N; i++) printf "%d %d\n", 150 + i * 500 / N, 300 + A * sin(i * 6.2832 / (N * 2 / 3)) }')"
# Wyrle, the style the program starts with, last: each click then changes
# the choice, so a click that missed shows.
for n in 1 2 0; do
  xdotool mousemove $((tx + style_x[n])) $((ty + style_y)) click 1
  # The chosen style's button turns orange; grey means the click missed it.
  for i in $(seq 50); do
    sleep 0.1
    rgb="$(import -window root -crop "1x1+$((tx + style_x[n] - 18))+$((ty + style_y - 7))" +repage \
      -format '%[fx:int(255*r)] %[fx:int(255*b)]' info:)"
    read -r red blue <<<"$rgb"
    [ "$red" -gt $((blue + 80)) ] && break
  done
  [ "$red" -gt $((blue + 80)) ] || fail "the ${STYLES[n]} button was not chosen (its colour: $rgb)"
  xdotool windowfocus "$draw_id"
  sleep 0.3
  xdotool key Delete
  read -r x y <<<"$(head -n1 <<<"$wave")"
  xdotool mousemove $((cx + x)) $((cy + y))
  sleep 2
  xdotool mousedown 1
  while read -r x y; do
    xdotool mousemove $((cx + x)) $((cy + y))
  done <<<"$wave"
  xdotool mouseup 1
  # The space bar held hides the brush cursor; the pointer stays, so the
  # trail's run-on does not follow it away.
  xdotool keydown space
  sleep 1
  settled_shot "$crop" "$OUT/stroke-${STYLES[n]}.png"
  xdotool keyup space
  lit="$(convert "$OUT/stroke-${STYLES[n]}.png" -colorspace gray -threshold 10% -format '%[fx:int(mean*w*h)]' info:)"
  [ "$lit" -gt 2000 ] || fail "the ${STYLES[n]} stroke lit only $lit pixels"
done
# The program's end is the other tests' business: the clean-up stops it.
echo "wrote the tool window and three strokes to $OUT"
