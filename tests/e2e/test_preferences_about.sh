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
# The page the website button opens is the manual, which Help looks for first.
mkdir -p "$WORK_DIR/run/Documents"
: >"$WORK_DIR/run/Documents/Wyrle_Manual_v1.5_Win.pdf"

# The part of the Preferences dialog that shows the share: from below the
# steps row to below the slider (the steps follow the free memory of the run).
share_picture() {
  read -r _ px py pw ph _ <<<"$("$XWIN" list | grep '"Preferences"$')"
  import -window root -crop "${pw}x$((ph * 30 / 100))+$px+$((py + ph * 40 / 100))" "$1"
}

wyrle_start_windows

# --- About box: its website button, twice.
help_item 1
about="$(wait_window ' ""$' 10)" || fail "About Wyrle showed no box"
read -r about_id ax ay aw ah _ <<<"$about"
sleep 0.5
# The button is the last row, centred.
for press in 1 2; do
  xdotool mousemove $((ax + aw / 2)) $((ay + ah - 12)) click 1
  for i in $(seq 50); do [ "$(opened_count)" -ge "$press" ] && break; sleep 0.1; done
done
sleep 0.5
[ "$(opened_count)" = 2 ] || fail "two presses started the opener $(opened_count) times"
grep -vqx "1 $WORK_DIR/run/Documents/Wyrle_Manual_v1.5_Win.pdf" "$OPENED" && fail "unexpected opener argument: $(cat "$OPENED")"
"$XWIN" list | grep -q "^$about_id " || fail "the About box closed after a press"
echo "Wyrle Website started the opener once per press: $(head -n1 "$OPENED")"
"$XWIN" close "$about_id"
for i in $(seq 30); do "$XWIN" list | grep -q "^$about_id " || break; sleep 0.1; done
"$XWIN" list | grep -q "^$about_id " && fail "the close box did not end the About box"

# --- Preferences: the slider to its end, OK.
help_item 3
prefs="$(wait_window '"Preferences"$' 10)" || fail "Help > Preferences showed no dialog"
prefs_id="${prefs%% *}"
grep -q 'UndoPercent = 30' "$PREFS" || fail "prefs.cfg does not start at 30: $(cat "$PREFS")"
xdotool windowfocus "$prefs_id"
sleep 0.3
share_picture "$WORK_DIR/at30.png"
# The slider has the focus; End moves it to 90, Tab goes on to OK.
xdotool key End
sleep 0.5
share_picture "$WORK_DIR/at90.png"
xdotool key Tab
sleep 0.2
xdotool key Return
for i in $(seq 30); do "$XWIN" list | grep -q '"Preferences"$' || break; sleep 0.1; done
"$XWIN" list | grep -q '"Preferences"$' && fail "OK did not close the Preferences dialog"
[ "$(cat "$PREFS")" = "UndoPercent = 90 #UndoPercent" ] || fail "prefs.cfg after OK: $(cat "$PREFS")"
echo "OK wrote: $(cat "$PREFS")"
compare -metric AE "$WORK_DIR/at30.png" "$WORK_DIR/at90.png" null: 2>/dev/null && fail "the slider did not move"

quit_from_menu "$tool_id"

# --- After a restart the dialog shows the stored share.
wyrle_start_windows
help_item 3
prefs="$(wait_window '"Preferences"$' 10)" || fail "no Preferences dialog after the restart"
xdotool windowfocus "${prefs%% *}"
sleep 0.5
share_picture "$WORK_DIR/again.png"
diff=$(compare -metric AE "$WORK_DIR/at90.png" "$WORK_DIR/again.png" null: 2>&1)
[ "$diff" = 0 ] || fail "after the restart the dialog does not show 90 ($diff pixels differ)"
echo "after a restart Preferences shows the stored 90"
quit_from_menu "$tool_id"
