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
# The box has no title; a window manager's own untitled windows are 1 x 1.
about="$(wait_window ' [0-9]{2,} [0-9]{2,} ""$' 10)" || fail "About Wyrle showed no box"
read -r about_id ax ay aw ah _ <<<"$about"
sleep 0.5
# The button is the last row, centred.
for press in 1 2; do
  xdotool mousemove $((ax + aw / 2)) $((ay + ah - 32)) click 1
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

# The width of the slider's thumb on a screenshot of the whole Preferences
# dialog, taken while the slider has not the focus (its focus ring would
# cross the rows): the widest of the rows above the blue part of the trough,
# which cross only the thumb, counted where they differ from the background.
thumb_width() {
  local box top
  box="$(convert "$1" -fx 'b > r + 0.3 && b > 0.5 ? 1 : 0' -format '%@' info:)"
  top="${box##*+}"
  convert "$1" -crop "x10+0+$((top - 10))" +repage txt:- |
    awk -v bg="$(convert "$1" -format "%[pixel:p{2,$((top - 10))}]" info:)" -F'[,:]' '
      NR > 1 { y = $2; colour = $0; sub(/^[^#]*#[0-9A-Fa-f]+  /, "", colour); if (colour != bg) n[y]++ }
      END { m = 0; for (y in n) if (n[y] > m) m = n[y]; print m }'
}
dialog_picture() {
  read -r _ px py pw ph _ <<<"$("$XWIN" list | grep '"Preferences"$')"
  import -window root -crop "${pw}x${ph}+$px+$py" +repage "$1"
}

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
# At 90 the thumb is as whole as half-way (looked at with the focus on OK).
xdotool key Tab
sleep 0.5
dialog_picture "$WORK_DIR/end.png"
xdotool key shift+Tab
for i in $(seq 40); do xdotool key Left; done
xdotool key Tab
sleep 0.5
dialog_picture "$WORK_DIR/middle.png"
at_end="$(thumb_width "$WORK_DIR/end.png")" middle="$(thumb_width "$WORK_DIR/middle.png")"
[ "$middle" -gt 8 ] && [ $((at_end - middle)) -ge -1 ] ||
  fail "the slider's thumb is $at_end pixels wide at 90 and $middle half-way"
echo "the slider's thumb is whole at 90: $at_end pixels wide, $middle half-way"
xdotool key shift+Tab
xdotool key End
sleep 0.5
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
