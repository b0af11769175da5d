#!/usr/bin/env bash
# A program left alone rests: with the pointer still it draws nothing and
# uses little processor time, yet a drag is painted at once, a window that
# was covered and uncovered is drawn again, and a moved drawing window still
# docks beside the tool window.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v import >/dev/null || fail "ImageMagick's import is not installed"
command -v xmessage >/dev/null || fail "xmessage is not installed"
xvfb_start
wyrle_start

draw="$(wait_window ' 201 28 960 682 "wyrleArtwork' 20)" || fail "the default artwork did not open"
read -r draw_id dx dy _ _ _ <<<"$draw"

# The window's inside, from the screen as the user sees it.
INSIDE="960x682+$dx+$dy"
shot() { settled_shot "$1" "$INSIDE"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$WYRLE_PID/stat"; }
# The tool window's thread: the process's first.
gui_ticks() { awk '{ print $14 + $15 }' "/proc/$WYRLE_PID/task/$WYRLE_PID/stat"; }

# The pointer rests in the window, right of the canvas, away from where the
# drag and the cover will be.
xdotool mousemove $((dx + 930)) $((dy + 650))
shot "$WORK_DIR/before.png"
t0="$(cpu_ticks)"
g0="$(gui_ticks)"
sleep 10
t1="$(cpu_ticks)"
g1="$(gui_ticks)"
hz="$(getconf CLK_TCK)"
percent="$(awk -v t=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "%.1f", 100 * t / hz / 10 }')"
gui="$(awk -v t=$((g1 - g0)) -v hz="$hz" 'BEGIN { printf "%.1f", 100 * t / hz / 10 }')"
echo "at rest for 10 s the program used $percent % of a core, its tool window's thread $gui %"
if [ "${WYRLE_E2E_TIMING:-1}" = 1 ]; then
  awk -v p="$percent" 'BEGIN { exit !(p <= 3) }' || fail "at rest the program used $percent % of a core"
  # Nothing wakes the tool window's thread while nothing happens.
  awk -v p="$gui" 'BEGIN { exit !(p <= 0.5) }' || fail "at rest the tool window's thread used $gui % of a core"
else
  echo "the share of a core is not checked in this build"
fi

# A drag is painted along its path.
x0=300 y0=250 x1=650 y1=430
drag_line $x0 $y0 $x1 $y1
xdotool mousemove $((dx + 930)) $((dy + 650))
shot_until differs "$WORK_DIR/before.png" "$WORK_DIR/after.png" "$INSIDE" || fail "the drag painted nothing"
# Along the drag: its bounding box.
crop() { convert "$1" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$2"; }
crop "$WORK_DIR/before.png" "$WORK_DIR/before_path.png"
crop "$WORK_DIR/after.png" "$WORK_DIR/after_path.png"
painted="$(differ "$WORK_DIR/before_path.png" "$WORK_DIR/after_path.png")"
[ "$painted" -gt 1000 ] || fail "the drag changed only $painted pixels along its path"
echo "the drag painted $painted pixels along its path"

# Covered by another window and uncovered again, the window is drawn again.
cp "$WORK_DIR/after.png" "$WORK_DIR/rest.png"
xmessage -name cover -geometry 500x300+$((dx + 200))+$((dy + 150)) "covering the drawing window" &
cover_pid=$!
wait_window ' 500 300 "cover"$' 10 >/dev/null || fail "the covering window did not show"
shot "$WORK_DIR/covered.png"
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null
wait_gone '"cover"$' || fail "the covering window did not go"
covered="$(differ "$WORK_DIR/rest.png" "$WORK_DIR/covered.png")"
[ "$covered" -gt 50000 ] || fail "the covering window hid only $covered pixels"
# What the cover left on the screen stays there until the program draws.
drawn_again() {
  shot "$WORK_DIR/uncovered.png"
  left="$(differ "$WORK_DIR/rest.png" "$WORK_DIR/uncovered.png")"
  [ "$left" -lt 300 ]
}
wait_for 10 drawn_again || fail "after uncovering, $left pixels still differ from the window at rest"
echo "covered ($covered pixels hidden) and uncovered, the window was drawn again ($left pixels differ)"

# Moved to about 200 pixels right of the tool window and a little above it,
# the drawing window docks beside it at once.
tool="$(wait_window ' "Wyrle"$' 5)" || fail "no tool window"
read -r _ tx ty _ <<<"$tool"
expect_dock_when_moved "$draw_id" "$tx" "$ty"

"$XWIN" close "$draw_id"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
