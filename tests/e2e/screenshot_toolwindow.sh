#!/usr/bin/env bash
# Takes screenshots of the running program for a look by eye (not a test):
# both windows side by side, then the tool window with the eraser selected.
# Usage: screenshot_toolwindow.sh WYRLE_BIN TOOLS_DIR SOURCE_DIR OUT_PREFIX
# writes OUT_PREFIX-windows.png and OUT_PREFIX-eraser.png.
source "$(dirname "$0")/lib.sh" "$@"
OUT="${4:?output prefix}"
xvfb_start
wyrle_start
wait_window ' 960 [0-9]+ "' 20 >/dev/null || fail "no drawing window"
tool="$(wait_window ' "Wyrle"$' 10)" || fail "no tool window"
settled_shot "$OUT-windows.png" 1170x720+0+0
focus_window "${tool%% *}"
xdotool key e
shot_until differs "$OUT-windows.png" "$OUT-eraser.png" 200x720+0+0 || fail "e did not choose the eraser"
echo "wrote $OUT-windows.png and $OUT-eraser.png"
