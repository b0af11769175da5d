#!/usr/bin/env bash
# Large libraries in the real program: with 2000 gradients and 2000 presets,
# most of them without icons, the tool window shows while the missing icons
# are still being made and answers meanwhile; the icons all come;
# the Gradient Tool's list, dragged to its end by the scroll bar, shows the
# last gradient, which a click loads and "X" with Yes deletes. No GTK
# complaint on the way.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
xvfb_start
RUN="$WORK_DIR/run"
GRADIENTS=2000 PRESETS=2000

# Copies of one gradient (the last one with only stops 1 and 9 on) and of one
# preset with its icon, the icons of three presets in four left out.
python3 "$SOURCE_DIR/tests/tools/make_libraries.py" "$RUN" "$GRADIENTS" "$PRESETS" --icons-every 4 \
  --last-gradient-differs || fail "could not write the libraries"
icons() { find "$RUN/Brushes/Icons" -name '*.png' | wc -l; }

wyrle_start
tool="$(wait_window ' "Wyrle"$' 30)" || fail "no tool window"
tool_id="${tool%% *}"
"$XWIN" ping "$tool_id" 10000 >/dev/null || fail "the tool window did not answer while icons were made"
made="$(icons)"
[ "$made" -lt "$PRESETS" ] || fail "all icons were made before the tool window showed and answered"
echo "the tool window showed and answered with $made of $PRESETS icons made"
settled_drawing_window 30
all_icons() { [ "$(icons)" = "$PRESETS" ]; }
wait_for 60 all_icons || fail "only $(icons) of $PRESETS icons were made"
echo "the missing icons were all made"

# Points of the Gradient Tool, from its top left corner: the tick box of
# stop 5, the scroll bar's thumb at the top of the list, and once the list is
# at its end, the last row's picture and its "X".
pixel() { gradient_pixel "$@"; }
ticked() { gradient_ticked 158 94; }
# A drag of the scroll bar's thumb down the list's height in one second. GTK
# draws the bar only once the pointer is over it.
bar_shown() { [ "$(pixel 292 235)" != "84,80,76" ]; }
drag_thumb() {
  xdotool mousemove $((gx + 292)) $((gy + 235))
  wait_for 3 bar_shown || fail "no scroll bar showed under the pointer"
  drag_path 1 $((gx + 292)) $((gy + 235)) $((gx + 292)) $((gy + 435))
}
# The list's rows (its scroll bar left out) once they are drawn and still.
settled_list() { settled_shot "$WORK_DIR/list_a.png" "265x215+$((gx + 20))+$((gy + 220))"; }

show_gradient_tool
settled_list
cp "$WORK_DIR/list_a.png" "$WORK_DIR/list_top.png"
ticked || fail "box 5 is not ticked at start"
drag_thumb
settled_list
[ "$(compare -metric AE "$WORK_DIR/list_top.png" "$WORK_DIR/list_a.png" /dev/null 2>&1)" != 0 ] ||
  fail "dragging the scroll bar did not move the list"
xdotool mousemove $((gx + 113)) $((gy + 407)) click 1
unticked() { ! ticked; }
wait_for 3 unticked || fail "the last row did not load the last gradient (box 5 still ticked)"
echo "the scroll bar brought the list to its end, and its last row loaded the last gradient"

xdotool mousemove $((gx + 276)) $((gy + 398)) click 1
question="$(wait_window '"Info"' 10)" || fail "X on the last row asked nothing"
focus_window "${question%% *}"
xdotool key alt+y
last="$RUN/Gradients/gradient $(printf %05d $((GRADIENTS - 1))).png"
wait_for 5 test ! -f "$last" || fail "X and Yes on the last row did not delete its gradient"
left="$(find "$RUN/Gradients" -name '*.png' | wc -l)"
[ "$left" = $((GRADIENTS - 1)) ] || fail "$left gradients are left, not $((GRADIENTS - 1))"
echo "X and Yes on the last row deleted that gradient only"

grep -E "Gtk-(WARNING|CRITICAL)" "$WORK_DIR/out.txt" && fail "GTK complained"
quit_from_menu "$tool_id"
