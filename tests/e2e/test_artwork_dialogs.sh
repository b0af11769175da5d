#!/usr/bin/env bash
# New Settings, Open and Export in the real program, driven with real keys
# and the mouse: Ctrl+N with Tab from width to height makes a 300 x 200
# canvas with alpha; a width of "abc" brings the "Info" box and changes
# nothing; Export as TGA to a bare name writes name.tga, and a second Export
# to it (the format stays TGA) asks whether to overwrite it, and answered No
# leaves the file alone; Open of a 123 x 45 PNG shows it.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v import >/dev/null || fail "ImageMagick is missing"
xvfb_start
export GSETTINGS_BACKEND=memory  # no session bus for dconf under Xvfb
RUN="$WORK_DIR/run"

wyrle_start_windows
wait_title ' 100% '

# A click at a point of a window, in its own coordinates.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# Waits for a window title (a grep pattern) to be mapped and drawn, and
# gives it the keyboard; prints its id.
dialog() {
  local line
  line="$(wait_window "$1" 10)" || return 1
  focus_window "${line%% *}"
  settled_window "${line%% *}"
  echo "${line%% *}"
}

# --- New Settings: the width field has the focus; Tab goes to the height.
focus_window "$tool_id"
xdotool key ctrl+n
new="$(dialog '"New Settings"')" || fail "Ctrl+N showed no New Settings"
xdotool key ctrl+a
type_text 300
xdotool key Tab
xdotool key ctrl+a
type_text 200
# Tab to "Transparent (Alpha)", tick it, then on past the DPI field to OK.
xdotool key Tab
xdotool key space
xdotool key Tab
xdotool key Tab
xdotool key space
wait_title '^wyrleArtwork\.png \| 300x200 pixels with Alpha \| '
wait_gone '"New Settings"' || fail "New Settings stayed up after OK"
echo "Ctrl+N, 300, Tab, 200, alpha, OK: $(title)"
before="$(title)"

# A width that is no number: the "Info" box, the canvas stays.
focus_window "$tool_id"
xdotool key ctrl+n
new="$(dialog '"New Settings"')" || fail "Ctrl+N showed no New Settings the second time"
click_at "$new" 173 71   # the width field
xdotool key ctrl+a
type_text abc
click_at "$new" 138 261  # OK
dialog '"Info"' >/dev/null || fail "OK with the width \"abc\" showed no Info box"
xdotool key Return
wait_gone '"Info"' || fail "the Info box did not close"
"$XWIN" list | grep -q '"New Settings"' || fail "New Settings closed after \"abc\""
focus_window "$new"
xdotool key Escape
wait_gone '"New Settings"' || fail "Esc did not close New Settings"
# Whatever OK had asked of the engine came before the box and Esc.
[ "$(title)" = "$before" ] || fail "the title changed after \"abc\": $(title)"
echo "width \"abc\" brought the Info box and left the canvas alone"

# --- Export to a bare name, from the File menu; $2 is the key that moves
# the format from the one chosen last (PNG at first), if it is to change.
export_to() {
  focus_window "$tool_id"
  open_menu
  xdotool key Up Up Return
  local ex chooser
  ex="$(dialog '"Export"')" || fail "the File menu showed no Export dialog"
  [ -z "${2:-}" ] || xdotool key "$2"
  click_at "$ex" 130 183    # OK
  chooser="$(dialog '"Save.*file"')" || fail "Export's OK showed no file selector"
  xdotool key ctrl+a
  type_text "$1" 15
  # The selector reads the folder typed into it and then offers its files
  # in a popup; a Return before that is lost.
  settled_window "$chooser"
  xdotool key Return
}
exports() { (cd "$RUN" && ls exported* 2>/dev/null | paste -sd' '); }
export_to "$RUN/exported" Right  # PNG has the focus: TGA
wait_for 10 test -s "$RUN/exported.tga" || fail "no exported.tga after the export"
read -r w h a <<<"$(identify -format '%w %h %A' "$RUN/exported.tga")"
[ "$w $h" = "300 200" ] || fail "exported.tga is $w x $h"
case "$a" in Undefined | False | "") fail "exported.tga has no alpha ($a)" ;; esac
echo "Export as TGA to a bare name wrote exported.tga, $w x $h with alpha"

sum="$(md5sum <"$RUN/exported.tga") $(stat -c %.9Y.%s "$RUN/exported.tga")"
export_to "$RUN/exported"
dialog '"Info"' >/dev/null || fail "the second Export to exported.tga asked nothing"
xdotool key Return        # No is the default
wait_gone '"Info"' || fail "the overwrite question did not close"
wait_gone '"Export"' || fail "the Export dialog stayed up after No"
echo "a second Export to exported.tga asked whether to overwrite it; answered No"

# --- Open a 123 x 45 PNG: left part red, right part green.
convert -size 123x45 xc:'rgb(10,200,30)' -fill 'rgb(200,20,40)' -draw 'rectangle 0,0 60,44' "$RUN/small.png"
open_picture "$RUN/small.png"
wait_title '^small\.png \| 123x45 pixels \| '
wait_gone '"Open"' || fail "Open stayed up after OK"
# The engine has done what was asked before the Open: No wrote nothing.
[ "$(md5sum <"$RUN/exported.tga") $(stat -c %.9Y.%s "$RUN/exported.tga")" = "$sum" ] ||
  fail "exported.tga changed after No"
[ "$(exports)" = exported.tga ] || fail "the exports are $(exports), not just exported.tga"
echo "the answer No left exported.tga untouched and wrote no other file"

zoom="$(title | sed -n 's/.* \([0-9]*\)% .*/\1/p')"
xdotool mousemove $((dx + 900)) $((dy + 640))
settled_shot "$WORK_DIR/opened.png" "960x682+$dx+$dy"
# The canvas is centred in the drawing window at the zoom of the title.
pixel() {
  convert "$WORK_DIR/opened.png" -crop "1x1+$1+$2" -depth 8 txt:- |
    sed -n 's/.*srgba\?(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
red="$(pixel $((480 - 31 * zoom / 100)) 341)"
green="$(pixel $((480 + 31 * zoom / 100)) 341)"
[ "$red" = "200,20,40" ] || fail "left part of the opened picture shows $red"
[ "$green" = "10,200,30" ] || fail "right part of the opened picture shows $green"
echo "Open of a 123 x 45 PNG: $(title), its colours on screen"

quit_from_menu "$tool_id"
