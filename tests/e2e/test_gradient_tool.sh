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

# Right of the tool, on the dark default canvas: where the strokes go.
AREA="500x400+$((dx + 560))+$((dy + 150))"
park() { xdotool mousemove $((dx + 940)) $((dy + 665)); }
park
settled_shot "$WORK_DIR/blank.png" "$AREA"

# The tool window's Gradient button and colour swatch.
show_gradient_tool
read -r left top <<<"$(frame_offset "$gradient_id")"
[ "$gx" = $((300 + left)) ] && [ "$gy" = $((35 + top)) ] ||
  fail "the Gradient Tool is at ($gx, $gy), expected (300, 35) and a frame of ($left, $top)"
echo "the Gradient button and the swatch showed the Gradient Tool at (300, 35)"

# The stop boxes of stops 4 and 8, the row of all nine, and the preview.
BOXES="300x20+$((gx + 15))+$((gy + 88))"  # below the swatches
PREVIEW="273x30+$((gx + 27))+$((gy + 25))"
# A click on the box of stop $1, once the row of boxes shows it.
untick() {
  settled_shot "$WORK_DIR/boxes_before.png" "$BOXES"
  xdotool mousemove $((gx + 31 + $1 * 33)) $((gy + 98)) click 1
  shot_until differs "$WORK_DIR/boxes_before.png" "$WORK_DIR/boxes_after.png" "$BOXES" ||
    fail "clicking the box of stop $1 changed nothing"
}
# The swatch shows the Gradient Tool once more.
swatch_shows_tool() {
  xdotool mousemove --window "$tool_id" 38 70 click 1
  wait_window '"Gradient Tool"' 10 >/dev/null || fail "the swatch did not show the Gradient Tool $1"
  settled_window "$gradient_id"
}
settled_shot "$WORK_DIR/boxes0.png" "$BOXES"
settled_shot "$WORK_DIR/preview0.png" "$PREVIEW"

untick 4
untick 8
shot_until differs "$WORK_DIR/preview0.png" "$WORK_DIR/preview1.png" "$PREVIEW" ||
  fail "the preview did not follow the boxes"

"$XWIN" close "$gradient_id"
wait_gone '"Gradient Tool"' || fail "the close box did not hide the Gradient Tool"
swatch_shows_tool again
settled_shot "$WORK_DIR/boxes2.png" "$BOXES"
settled_shot "$WORK_DIR/preview2.png" "$PREVIEW"
same_picture "$WORK_DIR/boxes0.png" "$WORK_DIR/boxes2.png" || fail "after the close box the boxes are not 1, 5 and 9"
same_picture "$WORK_DIR/preview0.png" "$WORK_DIR/preview2.png" || fail "after the close box the preview changed"
echo "the close box dropped the unticked stops"

# Pixels of a shot whose blue is clearly above their red.
bluish() {
  convert "$1" -channel B -separate "$1" -channel R -separate +channel -compose minus_src -composite \
    -threshold 10% -format '%[fx:round(mean*w*h)]' info:
}
blue_seen() {
  grab "$WORK_DIR/now.png" "$AREA"
  [ "$(bluish "$WORK_DIR/now.png")" -gt 50 ]
}
# A stroke's colour walks through the brush's gradient as long as the stroke
# lasts: it zigzags right of the tool for at most $1 seconds and ends as soon
# as blue shows. The settled stroke is $2.
stroke() {
  local path=() i x
  for i in $(seq 0 $(($1 * 20))); do
    x=$(((i * 7) % 440))
    [ "$x" -gt 220 ] && x=$((440 - x))
    path+=($((dx + 640 + x)) $((dy + 250 + (i % 8) * 20)))
  done
  xdotool mousemove "${path[0]}" "${path[1]}"
  sleep 1 # the chain gathers at the start
  drag_path -u blue_seen "$1" "${path[@]}"
  park
  settled_shot "$2" "$AREA"
}

# With the default palette the stroke reaches blue where the gradient does.
stroke 10 "$WORK_DIR/default.png"
n="$(bluish "$WORK_DIR/default.png")"
[ "$n" -gt 50 ] || fail "the default gradient painted no blue in $DRAG_MS ms"
to_blue="$DRAG_MS"
echo "the default gradient showed blue after $to_blue ms of stroke ($n pixels)"
engine_ready
xdotool key Delete
shot_until same "$WORK_DIR/blank.png" "$WORK_DIR/cleared.png" "$AREA" || fail "Delete did not clear the canvas"
xdotool mousemove --window "$tool_id" 38 70 click 1 # hides the tool
wait_gone '"Gradient Tool"' || fail "the swatch did not hide the Gradient Tool"
swatch_shows_tool "after hiding it"

untick 4
untick 8
xdotool mousemove $((gx + 203)) $((gy + 490)) click 1 # Apply
# Half as long again as the default gradient took to reach blue: without
# the Apply the stroke would show blue.
stroke $(((to_blue * 3 / 2 + 999) / 1000)) "$WORK_DIR/applied.png"
n="$(bluish "$WORK_DIR/applied.png")"
[ "$n" = 0 ] || fail "after Apply with only stop 1 on, $n pixels of a $DRAG_MS ms stroke are bluer than red"
"$XWIN" list | grep -q '"Gradient Tool"' || fail "Apply hid the Gradient Tool"
echo "Apply handed the remaining stop to the brush: a $DRAG_MS ms stroke showed no blue"

quit_from_menu "$tool_id"
