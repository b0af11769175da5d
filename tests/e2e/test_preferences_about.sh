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
share_crop() {
  local px py pw ph
  read -r _ px py pw ph _ <<<"$("$XWIN" list | grep '"Preferences"$')"
  echo "${pw}x$((ph * 30 / 100))+$px+$((py + ph * 40 / 100))"
}

wyrle_start_windows

# --- About box: its website button, twice.
help_item 1
# The box has no title; a window manager's own untitled windows are 1 x 1.
about="$(wait_window ' [0-9]{2,} [0-9]{2,} ""$' 10)" || fail "About Wyrle showed no box"
read -r about_id ax ay aw ah _ <<<"$about"
settled_window "$about_id"
# The button is the last row, centred.
for press in 1 2; do
  xdotool mousemove $((ax + aw / 2)) $((ay + ah - 32)) click 1
  wait_for 5 opened_at_least "$press" || fail "press $press of Wyrle Website started no opener"
done
count="$(steady_value 1 opened_count)"
[ "$count" = 2 ] || fail "two presses started the opener $count times"
grep -vqx "1 $WORK_DIR/run/Documents/Wyrle_Manual_v1.5_Win.pdf" "$OPENED" && fail "unexpected opener argument: $(cat "$OPENED")"
"$XWIN" list | grep -q "^$about_id " || fail "the About box closed after a press"
echo "Wyrle Website started the opener once per press: $(head -n1 "$OPENED")"
"$XWIN" close "$about_id"
wait_gone "^$about_id " || fail "the close box did not end the About box"

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
dialog_crop() {
  local px py pw ph
  read -r _ px py pw ph _ <<<"$("$XWIN" list | grep '"Preferences"$')"
  echo "${pw}x${ph}+$px+$py"
}

# --- Preferences: the slider to its end, OK.
help_item 3
prefs="$(wait_window '"Preferences"$' 10)" || fail "Help > Preferences showed no dialog"
prefs_id="${prefs%% *}"
grep -q 'UndoPercent = 30' "$PREFS" || fail "prefs.cfg does not start at 30: $(cat "$PREFS")"
focus_window "$prefs_id"
settled_shot "$WORK_DIR/at30.png" "$(share_crop)"
# The slider has the focus; End moves it to 90, Tab goes on to OK.
xdotool key End
shot_until differs "$WORK_DIR/at30.png" "$WORK_DIR/at90.png" "$(share_crop)" || fail "the slider did not move"
# At 90 the thumb is as whole as half-way (looked at with the focus on OK:
# the slider's focus ring goes).
settled_shot "$WORK_DIR/focused.png" "$(dialog_crop)"
xdotool key Tab
shot_until differs "$WORK_DIR/focused.png" "$WORK_DIR/end.png" "$(dialog_crop)" || fail "Tab did not move the focus to OK"
xdotool key shift+Tab
for i in $(seq 40); do xdotool key Left; done
xdotool key Tab
shot_until differs "$WORK_DIR/end.png" "$WORK_DIR/middle.png" "$(dialog_crop)" || fail "Left did not move the slider"
at_end="$(thumb_width "$WORK_DIR/end.png")" middle="$(thumb_width "$WORK_DIR/middle.png")"
[ "$middle" -gt 8 ] && [ $((at_end - middle)) -ge -1 ] ||
  fail "the slider's thumb is $at_end pixels wide at 90 and $middle half-way"
echo "the slider's thumb is whole at 90: $at_end pixels wide, $middle half-way"
xdotool key shift+Tab
xdotool key End
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
focus_window "${prefs%% *}"
shot_until same "$WORK_DIR/at90.png" "$WORK_DIR/again.png" "$(share_crop)" ||
  fail "after the restart the dialog does not show 90 ($(differ "$WORK_DIR/at90.png" "$WORK_DIR/again.png") pixels differ)"
echo "after a restart Preferences shows the stored 90"
quit_from_menu "$tool_id"
