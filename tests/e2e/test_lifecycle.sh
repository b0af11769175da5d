#!/usr/bin/env bash
# Start-up places both windows, the frame loop runs paced, and every way of
# closing ends the process cleanly with code 0.
source "$(dirname "$0")/lib.sh" "$@"
xvfb_start

# The drawing window opens at (201, 28) with a 960 x 682 client area, beside
# the tool window; closing it ends the program with code 0 after the engine's
# exit ran.
export WYRLE_LOGGING=1
wyrle_start
line="$(wait_window ' 960 682 ' 20)" || fail "no drawing window"
# The window is mapped first and placed by the engine's set-up right after.
placed="$(wait_window ' 201 28 960 682 ' 5)" || fail "drawing window not placed at (201, 28): $line"
read -r id x y w h _ <<<"$placed"
wait_window '"Wyrle"' 10 >/dev/null || fail "no tool window"
# Three seconds of frames for the rate reported at the end.
sleep 3
"$XWIN" close "$id"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "closing the drawing window gave exit code $EXIT_CODE"
grep -q "wyrleApp::exit" "$WORK_DIR/out.txt" || fail "the engine's exit did not run"
fps="$(sed -n 's/.*frames per second: \([0-9.]*\).*/\1/p' "$WORK_DIR/out.txt")"
[ -n "$fps" ] || fail "no frame rate reported"
awk -v f="$fps" 'BEGIN { exit !(f > 15 && f < 45) }' || fail "frame rate $fps, expected about 40"
echo "drawing window closed cleanly at $fps frames per second"

# Closing the tool window (its only way out is Quit, which sends the close
# event) and closing the drawing window, again and again, to catch exit races.
unset WYRLE_LOGGING
for round in $(seq 10); do
  for which in tool drawing; do
    wyrle_start
    draw="$(wait_window ' 960 682 ' 20)" || fail "round $round: no drawing window"
    tool="$(wait_window '"Wyrle"' 10)" || fail "round $round: no tool window"
    if [ "$which" = tool ]; then target="$tool"; else target="$draw"; fi
    "$XWIN" close "$(echo "$target" | cut -d' ' -f1)"
    wait_exit 10
    [ "$EXIT_CODE" = 0 ] || fail "round $round: closing the $which window gave exit code $EXIT_CODE"
    grep -qiE "sanitizer|segmentation|abort" "$WORK_DIR/out.txt" && fail "round $round: crash report"
  done
done
echo "20 closes ended with code 0"
