#!/usr/bin/env bash
# The gradient library of the real program, driven with the mouse and keys:
# a gradient saved under a name becomes Gradients/NAME.png with its settings
# comment, is listed again after a restart, loads its stops back into the
# editor, and "X" with Yes deletes the file and its row.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v identify >/dev/null || fail "ImageMagick's identify is not installed"
xvfb_start

# Points of the Gradient Tool, from its top left corner; a click there, and
# one that waits for the tool to be drawn anew after it.
at() { xdotool mousemove $((gx + $1)) $((gy + $2)); }
click_at() { at "$1" "$2"; xdotool click 1; }
TOOL_AREA=""
click_changes() {
  settled_shot "$WORK_DIR/tool_before.png" "$TOOL_AREA"
  click_at "$1" "$2"
  shot_until differs "$WORK_DIR/tool_before.png" "$WORK_DIR/tool_after.png" "$TOOL_AREA" ||
    fail "a click at ($1, $2) in the Gradient Tool changed nothing"
}
box5() { echo 158 94; }  # beside the tick mark
new_button() { echo 76 447; }
name_field() { echo 173 447; }
name_ok() { echo 258 447; }
default_row() { echo 113 233; }
first_row() { echo 113 268; }
first_x() { echo 276 258; }
panel_colour() { echo "84,80,76"; }
pixel() { gradient_pixel "$@"; }
ticked() { gradient_ticked $(box5); }

start_and_show_tool() {
  wyrle_start_windows
  wait_title ' 100% '
  show_gradient_tool
  TOOL_AREA="$(window_crop "$gradient_id")"
}

start_and_show_tool
ticked || fail "box 5 is not ticked at start"
click_changes $(box5)
ticked && fail "box 5 did not untick"
click_changes $(new_button)
click_at $(name_field)
xdotool key ctrl+a
type_text warm
click_at $(name_ok)
file="$WORK_DIR/run/Gradients/warm.png"
wait_for 5 test -f "$file" || fail "OK beside the name wrote no Gradients/warm.png"
size="$(identify -format '%wx%h' "$file")"
[ "$size" = 160x22 ] || fail "Gradients/warm.png is $size, not 160x22"
comment="$(identify -format '%c' "$file")"
case "$comment" in
  'V|150|G|1|3|T|F|F|F|F|F|F|F|T|'*) ;;
  *) fail "the comment of warm.png is \"$comment\"" ;;
esac
echo "the gradient was saved as Gradients/warm.png with its comment"
quit_from_menu "$tool_id"

# After a restart the row is listed; the default row, then "warm", load
# their stops into the editor.
start_and_show_tool
[ "$(pixel $(first_row))" != "$(panel_colour)" ] || fail "no row for warm after the restart"
ticked || fail "box 5 is not ticked after the restart"
click_changes $(first_row)
ticked && fail "loading warm left box 5 ticked"
click_changes $(default_row)
ticked || fail "the default row did not tick box 5"
click_changes $(first_row)
ticked && fail "loading warm again left box 5 ticked"
echo "the restarted program listed warm and loaded it"

# "X" on the row, then Yes in the question.
click_at $(first_x)
question="$(wait_window '"Info"' 10)" || fail "X asked nothing"
question_id="${question%% *}"
focus_window "$question_id"
xdotool key alt+y
wait_for 5 test ! -f "$file" || fail "Yes did not delete Gradients/warm.png"
row_gone() { [ "$(pixel $(first_row))" = "$(panel_colour)" ]; }
wait_for 5 row_gone || fail "the row of warm is still shown"
echo "X and Yes deleted warm and its row"

grep -E "Gtk-(WARNING|CRITICAL)" "$WORK_DIR/out.txt" && fail "GTK complained about the rows"
quit_from_menu "$tool_id"
