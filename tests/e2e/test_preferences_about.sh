#!/usr/bin/env bash
# The About box and the Preferences dialog of the real program, reached
# through the Help menu with the keyboard. Each press of "Wyrle Website"
# starts the opener once and the box stays open; a new undo share chosen in
# Preferences and confirmed with OK is what the dialog shows after a restart.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v import >/dev/null || fail "ImageMagick's import is missing"
command -v compare >/dev/null || fail "ImageMagick's compare is missing"
xvfb_start
export GSETTINGS_BACKEND=memory

recording_opener
PREFS="$WORK_DIR/run/prefs.cfg"

# The part of the Preferences dialog that shows the share: from below the
# steps row to below the slider (the steps follow the free memory of the run).
share_crop() {
  local px py pw ph
  read -r _ px py pw ph _ <<<"$("$XWIN" list | grep '"Preferences"$')"
  echo "${pw}x$((ph * 30 / 100))+$px+$((py + ph * 40 / 100))"
}

wyrle_start_windows

# --- About box: its website button, twice.
help_item 1
# The box has no title; GTK's hidden 1 x 1 window has none either.
about="$(wait_window ' [0-9]{3,} [0-9]{3,} ""$' 10)" || fail "About Wyrle showed no box"
about="$(settled_line "${about%% *}")" || fail "the About box does not keep its place"
read -r about_id ax ay aw ah _ <<<"$about"
settled_window "$about_id"
# The button is the last row, centred.
for press in 1 2; do
  xdotool mousemove $((ax + aw / 2)) $((ay + ah - 12)) click 1
  wait_for 5 opened_at_least "$press" || fail "press $press of Wyrle Website started no opener"
done
count="$(steady_value 1 opened_count)"
[ "$count" = 2 ] || fail "two presses started the opener $count times"
grep -vqx "1 $WORK_DIR/run/Documents/Wyrle_Manual_v1.5_Win.pdf" "$OPENED" && fail "unexpected opener argument: $(cat "$OPENED")"
"$XWIN" list | grep -q "^$about_id " || fail "the About box closed after a press"
echo "Wyrle Website started the opener once per press: $(head -n1 "$OPENED")"
"$XWIN" close "$about_id"
wait_gone "^$about_id " || fail "the close box did not end the About box"

# --- Preferences: the slider to its end, OK.
help_item 3
prefs="$(wait_window '"Preferences"$' 10)" || fail "Help > Preferences showed no dialog"
prefs_id="${prefs%% *}"
settled_line "$prefs_id" >/dev/null || fail "the Preferences dialog does not keep its place"
grep -q 'UndoPercent = 30' "$PREFS" || fail "prefs.cfg does not start at 30: $(cat "$PREFS")"
focus_window "$prefs_id"
settled_shot "$WORK_DIR/at30.png" "$(share_crop)"
# The slider has the focus; End moves it to 90, Tab goes on to OK.
xdotool key End
shot_until differs "$WORK_DIR/at30.png" "$WORK_DIR/at90.png" "$(share_crop)" || fail "the slider did not move"
xdotool key Tab
xdotool key Return
wait_gone '"Preferences"$' || fail "OK did not close the Preferences dialog"
[ "$(cat "$PREFS")" = "UndoPercent = 90 #UndoPercent" ] || fail "prefs.cfg after OK: $(cat "$PREFS")"
echo "OK wrote: $(cat "$PREFS")"

quit_from_menu "$tool_id"

# --- After a restart the dialog shows the stored share.
wyrle_start_windows
help_item 3
prefs="$(wait_window '"Preferences"$' 10)" || fail "no Preferences dialog after the restart"
settled_line "${prefs%% *}" >/dev/null || fail "the Preferences dialog does not keep its place after the restart"
focus_window "${prefs%% *}"
shot_until same "$WORK_DIR/at90.png" "$WORK_DIR/again.png" "$(share_crop)" ||
  fail "after the restart the dialog does not show 90 ($(differ "$WORK_DIR/at90.png" "$WORK_DIR/again.png") pixels differ)"
echo "after a restart Preferences shows the stored 90"
quit_from_menu "$tool_id"
