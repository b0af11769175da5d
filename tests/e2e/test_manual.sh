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
  for i in $(seq 50); do [ "$(opened_count)" -ge "$n" ] && break; sleep 0.1; done
  [ "$(opened_count)" -ge "$n" ] || fail "$what did not start the opener"
  [ "$(sed -n "${n}p" "$OPENED")" = "$EXPECTED" ] || fail "$what opened: $(sed -n "${n}p" "$OPENED")"
  echo "$what opened the manual"
}

help_item 4
expect_open 1 "Help"
xdotool windowfocus "$tool_id"
sleep 0.3
xdotool key F1
expect_open 2 "F1"
help_item 2
expect_open 3 "Wyrle Online..."
sleep 0.5
[ "$(opened_count)" = 3 ] || fail "the opener ran $(opened_count) times for three commands"

rm "$MANUAL"
help_item 4
info="$(wait_window '"Info"$' 10)" || fail "Help without the manual showed no message"
import -window root "$WORK_DIR/no-manual.png"
xdotool windowfocus "${info%% *}" 2>/dev/null
sleep 0.3
xdotool key Return
for i in $(seq 50); do "$XWIN" list | grep -q '"Info"$' || break; sleep 0.1; done
"$XWIN" list | grep -q '"Info"$' && fail "the message about the missing manual did not close"
[ "$(opened_count)" = 3 ] || fail "Help without the manual started the opener"
echo "Help without the manual told so and started nothing"
quit_from_menu "$tool_id"
