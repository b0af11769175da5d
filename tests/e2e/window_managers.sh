#!/usr/bin/env bash
# The program on a desktop: under a real window manager the tool window
# settles at its home and stays quiet, the drawing window docks beside it,
# minimising the drawing window takes the tool window with it and restoring
# brings it back, a drawing window moved beside the tool window docks, and
# the window manager's close of either window ends the program cleanly.
# Run once per window manager (ctest runs the table):
#   window_managers.sh WYRLE_BIN TOOLS_DIR SOURCE_DIR openbox|metacity|panelwm
# panelwm is our own: it keeps windows below a 27-pixel top panel and answers
# a refused move with a synthetic ConfigureNotify.
WM="$4"
source "$(dirname "$0")/lib.sh" "$1" "$2" "$3"
case "$WM" in
  openbox | metacity | panelwm) ;;
  *) fail "unknown window manager \"$WM\"" ;;
esac

xvfb_start
wm_start "$WM"

# Waits for both windows; sets tool, draw (their lines), tool_id and draw_id.
windows_up() {
  tool="$(wait_window '"Wyrle"$' 20)" || fail "$WM: no tool window"
  draw="$(wait_window 'Back Layer' 20)" || fail "$WM: no drawing window"
  tool_id="${tool%% *}"
  draw_id="${draw%% *}"
}
gui_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$WYRLE_PID/task/$WYRLE_PID/stat"; }
tool_place() { "$XWIN" list | grep -E '"Wyrle"$' | cut -d' ' -f2-5; }

export WYRLE_LOGGING=1
wyrle_start
windows_up

# The tool window stops moving within 2 s ...
last="$(tool_place)"
stable=0
for i in $(seq 20); do
  sleep 0.1
  now="$(tool_place)"
  if [ "$now" = "$last" ]; then stable=$((stable + 1)); else stable=0; fi
  last="$now"
  [ "$stable" -ge 5 ] && break
done
[ "$stable" -ge 5 ] || fail "$WM: the tool window still moves after 2 s (at $last)"
# ... and then leaves the GUI thread idle: under 0.2 s of its CPU in 5 s.
hz="$(getconf CLK_TCK)"
before="$(gui_cpu_ticks)"
sleep 5
used=$(($(gui_cpu_ticks) - before))
[ "$(tool_place)" = "$last" ] || fail "$WM: the tool window moved on to $(tool_place) from $last"
seconds="$(awk -v t="$used" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')"
awk -v s="$seconds" 'BEGIN { exit !(s < 0.2) }' ||
  fail "$WM: the GUI thread used $seconds s of CPU in 5 s of doing nothing"
echo "$WM: the tool window settled at $last; the GUI thread used $seconds s of CPU in 5 s"

# The drawing window sits beside it, with no more than a frame between.
read -r tx ty tw _ <<<"$last"
read -r _ dx dy _ <<<"$(window_line "$draw_id")"
gap=$((dx - tx - tw))
rise=$((dy - ty))
[ "$gap" -ge 0 ] && [ "$gap" -le 40 ] && [ "${rise#-}" -le 40 ] ||
  fail "$WM: drawing window at ($dx, $dy) is not docked beside the tool window at ($tx, $ty), $tw wide"
echo "$WM: the drawing window docked $gap px to the right"

# Moved away and back to about 200 pixels right of the tool window, a little
# above it, the drawing window docks beside it again at once. Metacity does
# not let a program put the window there: it keeps it 27 pixels lower, out
# of the docking zone.
moved_from() { [ "$(window_line "$draw_id")" != "$1" ]; }
if [ "$WM" != metacity ]; then
  before="$(window_line "$draw_id")"
  xdotool windowmove "$draw_id" $((tx + 400)) $((ty + 100))
  wait_for 5 moved_from "$before" || fail "$WM: the drawing window did not move away"
  steady_value 0.5 window_line "$draw_id" >/dev/null || fail "$WM: the moved drawing window does not stay put"
  expect_dock_when_moved "$draw_id" "$tx" "$ty" "$WM: "
fi

# Minimised, the drawing window takes the tool window with it; restored, it
# brings it back.
xdotool windowminimize "$draw_id"
wait_gone '"Wyrle"$' || fail "$WM: the tool window stayed up while the drawing window was minimised"
xdotool windowactivate "$draw_id" 2>/dev/null
wait_window 'Back Layer' 5 >/dev/null || fail "$WM: the drawing window did not come back"
wait_window '"Wyrle"$' 5 >/dev/null || fail "$WM: the tool window did not come back with the drawing window"
echo "$WM: minimising hid the tool window, restoring showed it again"

# The window manager's close, of the tool window and then (in a new run) of
# the drawing window, ends the program with code 0 after the engine's exit.
for which in tool drawing; do
  if [ "$which" = drawing ]; then
    wyrle_start
    windows_up
    settled_shot "$WORK_DIR/up.png"
  fi
  if [ "$which" = tool ]; then target="$tool_id"; else target="$draw_id"; fi
  "$XWIN" wmclose "$target"
  wait_exit 10
  [ "$EXIT_CODE" = 0 ] || fail "$WM: closing the $which window gave exit code $EXIT_CODE"
  grep -q "wyrleApp::exit" "$WORK_DIR/out.txt" || fail "$WM: closing the $which window skipped the engine's exit"
  grep -qiE "sanitizer|segmentation|abort" "$WORK_DIR/out.txt" && fail "$WM: crash report after closing the $which window"
done
echo "$WM: closing either window ended the program with code 0"
