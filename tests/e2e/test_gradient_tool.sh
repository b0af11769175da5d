#!/usr/bin/env bash
# The gradient tool of the real program, driven with the mouse: the Gradient
# button and then the colour swatch show it at its place; unticked stops are
# dropped by the close box; Apply hands the remaining stops to the brush.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
xvfb_start
wyrle_start_windows
wait_title ' 100% '

# The tool window's Gradient button and colour swatch.
show_gradient_tool
read -r left top <<<"$(frame_offset "$gradient_id")"
[ "$gx" = $((300 + left)) ] && [ "$gy" = $((35 + top)) ] ||
  fail "the Gradient Tool is at ($gx, $gy), expected (300, 35) and a frame of ($left, $top)"
echo "the Gradient button and the swatch showed the Gradient Tool at (300, 35)"
sleep 0.5

# The stop boxes of stops 4 and 8, the row of all nine, and the preview.
box() { echo "$((gx + 31 + $1 * 33)) $((gy + 98))"; }
untick() {
  read -r x y <<<"$(box "$1")"
  xdotool mousemove "$x" "$y" click 1
  sleep 0.3
}
grab() { import -window root -crop "$3x$4+$((gx + $1))+$((gy + $2))" +repage "$5"; }
boxes() { grab 15 88 300 20 "$1"; }  # below the swatches
preview() { grab 27 25 273 30 "$1"; }
differ() { compare -metric AE "$1" "$2" /dev/null 2>&1; }
boxes "$WORK_DIR/boxes0.png"
preview "$WORK_DIR/preview0.png"

untick 4
untick 8
boxes "$WORK_DIR/boxes1.png"
preview "$WORK_DIR/preview1.png"
[ "$(differ "$WORK_DIR/boxes0.png" "$WORK_DIR/boxes1.png")" != 0 ] || fail "clicking boxes 5 and 9 changed nothing"
[ "$(differ "$WORK_DIR/preview0.png" "$WORK_DIR/preview1.png")" != 0 ] || fail "the preview did not follow the boxes"

"$XWIN" close "$gradient_id"
for i in $(seq 30); do
  "$XWIN" list | grep -q '"Gradient Tool"' || break
  sleep 0.1
done
"$XWIN" list | grep -q '"Gradient Tool"' && fail "the close box did not hide the Gradient Tool"
xdotool mousemove --window "$tool_id" 38 70 click 1
wait_window '"Gradient Tool"' 10 >/dev/null || fail "the swatch did not show the Gradient Tool again"
sleep 0.5
boxes "$WORK_DIR/boxes2.png"
preview "$WORK_DIR/preview2.png"
[ "$(differ "$WORK_DIR/boxes0.png" "$WORK_DIR/boxes2.png")" = 0 ] || fail "after the close box the boxes are not 1, 5 and 9"
[ "$(differ "$WORK_DIR/preview0.png" "$WORK_DIR/preview2.png")" = 0 ] || fail "after the close box the preview changed"
echo "the close box dropped the unticked stops"

# A stroke right of the tool, on the dark default canvas.
stroke() {
  xdotool mousemove $((dx + 700)) $((dy + 300))
  sleep 1
  xdotool mousedown 1
  for i in $(seq 40); do
    xdotool mousemove $((dx + 700 + i * 7)) $((dy + 300 + (i % 8) * 20))
    sleep 0.03
  done
  xdotool mouseup 1
  xdotool mousemove $((dx + 940)) $((dy + 665))
  sleep 1.5
  import -window root -crop "500x400+$((dx + 560))+$((dy + 150))" +repage "$1"
}
# Pixels of a shot whose blue is clearly above their red.
bluish() {
  convert "$1" -fx 'b > r + 0.1 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

# With the default palette a stroke shows blue where the gradient does.
stroke "$WORK_DIR/default.png"
[ "$(bluish "$WORK_DIR/default.png")" -gt 50 ] || fail "the default gradient painted no blue"
xdotool windowfocus "$draw_id" 2>/dev/null
sleep 0.2
xdotool key Delete
sleep 0.5
xdotool mousemove --window "$tool_id" 38 70 click 1 # hides the tool
sleep 0.5
xdotool mousemove --window "$tool_id" 38 70 click 1
wait_window '"Gradient Tool"' 10 >/dev/null || fail "the swatch did not show the Gradient Tool"
sleep 0.5

untick 4
untick 8
xdotool mousemove $((gx + 203)) $((gy + 490)) click 1 # Apply
sleep 0.5
"$XWIN" list | grep -q '"Gradient Tool"' || fail "Apply hid the Gradient Tool"
stroke "$WORK_DIR/applied.png"
n="$(bluish "$WORK_DIR/applied.png")"
[ "$n" = 0 ] || fail "after Apply with only stop 1 on, $n pixels of the stroke are bluer than red"
echo "Apply handed the remaining stop to the brush"

quit_from_menu "$tool_id"
