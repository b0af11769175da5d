#!/usr/bin/env bash
# The tool window of the real program, driven with real keys and the mouse:
# its accelerators reach the engine, a slider drag runs its handler, and Quit
# from the File menu ends the program with code 0.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
xvfb_start
wyrle_start

draw="$(wait_window ' 960 [0-9]+ "' 20)" || fail "no drawing window"
tool="$(wait_window ' "Wyrle"$' 10)" || fail "no tool window"
read -r tool_id tool_x tool_y tool_w tool_h _ <<<"$tool"
draw_id="${draw%% *}"
# With no window manager the frame sits exactly at its home.
[ "$tool_x" = 0 ] && [ "$tool_y" = -2 ] || fail "tool window at ($tool_x, $tool_y), expected (0, -2)"
[ "$tool_w" -le 194 ] && [ "$tool_h" -le 720 ] || fail "tool window is $tool_w x $tool_h, larger than 194 x 720"

# The colour of one screen pixel as "r,g,b".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*srgba\?(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
focus_tool() { focus_window "$tool_id"; }

wait_title ' 100% '
settled_shot "$WORK_DIR/started.png"

# The panel's own colour between its rows.
[ "$(pixel 3 300)" = "104,100,96" ] || fail "panel colour $(pixel 3 300), expected 104,100,96"

# Accelerators typed in the tool window reach the engine. The engine writes
# its title when the view changes, so each toggle of the back layer is
# followed by a zoom key that shows it.
focus_tool
xdotool key ctrl+b
xdotool key minus
wait_title ' 70% \| Back Layer On'
xdotool key minus
wait_title ' 50% '
# "+" zooms in exactly once, though both the menu and the application see
# it. Two "-" after it are seen only once all that "+" set off was done: a
# second zoom, however late, would leave them a step short of 35 %.
xdotool key shift+equal
wait_title ' 70% '
xdotool key minus
xdotool key minus
wait_title ' (35|50)% '
steps="$(steady_value 1 title)"
[[ "$steps" == *" 35% "* ]] || fail "\"+\" zoomed more than once: after it and two \"-\" the title is $steps"
xdotool key ctrl+b
xdotool key slash
wait_title ' 100% \| Back Layer Off'
echo "Ctrl+B, -, + and / reached the engine"

# Ctrl+N shows the New Settings dialog; its close box hides it again.
xdotool key ctrl+n
dialog="$(wait_window '"New Settings"' 10)" || fail "Ctrl+N showed no New Settings dialog"
"$XWIN" close "${dialog%% *}"
wait_gone '"New Settings"' || fail "the New Settings dialog did not close"
echo "Ctrl+N opened the New Settings dialog"

# A stroke in the drawing window, then Ctrl+Z in the tool window, brings the
# canvas back as it was.
read -r _ dx dy _ _ _ <<<"$draw"
# The brush cursor follows the pointer: park it in a corner of the drawing
# window, away from the part compared, before each look.
AREA="600x400+$((dx + 180))+$((dy + 140))"
park() { xdotool mousemove $((dx + 900)) $((dy + 640)); }
park
settled_shot "$WORK_DIR/before.png" "$AREA"
path=()
for i in $(seq 0 40); do path+=($((dx + 300 + i * 6)) $((dy + 250 + (i % 10) * 8))); done
drag_path 1.2 "${path[@]}"
park
shot_until differs "$WORK_DIR/before.png" "$WORK_DIR/stroke.png" "$AREA" || fail "the stroke left no mark on the canvas"
engine_ready
focus_tool
xdotool key ctrl+z
shot_until same "$WORK_DIR/before.png" "$WORK_DIR/undone.png" "$AREA" ||
  fail "Ctrl+Z left $(differ "$WORK_DIR/before.png" "$WORK_DIR/undone.png") pixels of the stroke"
echo "Ctrl+Z undid a stroke"

# Dragging the Size slider runs its handler, which writes the value label.
LABEL="30x16+160+$((tool_y + 359))"
settled_shot "$WORK_DIR/label0.png" "$LABEL"
drag_path 0.25 81 $((tool_y + 368)) 130 $((tool_y + 368))
shot_until differs "$WORK_DIR/label0.png" "$WORK_DIR/label1.png" "$LABEL" ||
  fail "dragging the Size slider did not change its value label"
echo "a drag of the Size slider updated its label"

# Quit, the last item of the File menu, ends the program with code 0.
quit_from_menu "$tool_id"
