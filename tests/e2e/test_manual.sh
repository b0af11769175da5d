#!/usr/bin/env bash
# Help, F1 and "Wyrle Online..." of the real program each start the opener
# once with the manual below the working folder as its one argument; with
# the manual gone, Help says where it looked and starts nothing.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
xvfb_start
export GSETTINGS_BACKEND=memory

recording_opener
MANUAL="$WORK_DIR/run/Documents/Wyrle_Manual_v1.5_Win.pdf"
EXPECTED="1 $MANUAL"
mkdir -p "$WORK_DIR/run/Documents"
: >"$MANUAL"

wyrle_start_windows

# Waits for the opener's line number `n` and checks it.
expect_open() {
  local n="$1" what="$2" i
  wait_for 5 opened_at_least "$n" || fail "$what did not start the opener"
  [ "$(sed -n "${n}p" "$OPENED")" = "$EXPECTED" ] || fail "$what opened: $(sed -n "${n}p" "$OPENED")"
  echo "$what opened the manual"
}

help_item 4
expect_open 1 "Help"
focus_window "$tool_id"
xdotool key F1
expect_open 2 "F1"
help_item 2
expect_open 3 "Wyrle Online..."
count="$(steady_value 1 opened_count)"
[ "$count" = 3 ] || fail "the opener ran $count times for three commands"

rm "$MANUAL"
help_item 4
info="$(wait_window '"Info"$' 10)" || fail "Help without the manual showed no message"
settled_shot "$WORK_DIR/no-manual.png"
focus_window "${info%% *}"
xdotool key Return
wait_gone '"Info"$' || fail "the message about the missing manual did not close"
[ "$(opened_count)" = 3 ] || fail "Help without the manual started the opener"
echo "Help without the manual told so and started nothing"
quit_from_menu "$tool_id"
