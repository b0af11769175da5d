#!/usr/bin/env bash
# New Settings, Open and Export in the real program, driven with real keys
# and the mouse: Ctrl+N with Tab from width to height makes a 300 x 200
# canvas with alpha; a width of "abc" brings the "Info" box and changes
# nothing; Export as TGA to a bare name writes name.tga, and a second Export
# to it answered No leaves the file alone; Open of a 123 x 45 PNG shows it.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v import >/dev/null || fail "ImageMagick is missing"
xvfb_start
export GSETTINGS_BACKEND=memory  # no session bus for dconf under Xvfb
RUN="$WORK_DIR/run"

wyrle_start_windows
wait_title ' 100% '

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.4; }
# A click at a point of a window, in its own coordinates.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Waits for a window title (a grep pattern) to be mapped; prints its id.
dialog() { local line; line="$(wait_window "$1" 10)" || fail "no window $1"; echo "${line%% *}"; }
gone() {
  local i
  for i in $(seq 30); do
    "$XWIN" list | grep -q -- "$1" || return 0
    sleep 0.1
  done
  return 1
}
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*srgba\?(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# --- New Settings: the width field has the focus; Tab goes to the height.
focus "$tool_id"
xdotool key ctrl+n
new="$(dialog '"New Settings"')"
focus "$new"
xdotool key ctrl+a
xdotool type 300
xdotool key Tab
sleep 0.2
xdotool key ctrl+a
xdotool type 200
# Tab to "Transparent (Alpha)", tick it, then on past the DPI field to OK.
xdotool key Tab
sleep 0.2
xdotool key space
xdotool key Tab
sleep 0.2
xdotool key Tab
sleep 0.2
xdotool key space
wait_title '^wyrleArtwork\.png \| 300x200 pixels with Alpha \| '
gone '"New Settings"' || fail "New Settings stayed up after OK"
echo "Ctrl+N, 300, Tab, 200, alpha, OK: $(title)"
before="$(title)"

# A width that is no number: the "Info" box, the canvas stays.
focus "$tool_id"
xdotool key ctrl+n
new="$(dialog '"New Settings"')"
focus "$new"
click_at "$new" 173 71   # the width field
xdotool key ctrl+a
xdotool type abc
click_at "$new" 138 261  # OK
info="$(dialog '"Info"')"
focus "$info"
xdotool key Return
gone '"Info"' || fail "the Info box did not close"
sleep 1
[ "$(title)" = "$before" ] || fail "the title changed after \"abc\": $(title)"
"$XWIN" list | grep -q '"New Settings"' || fail "New Settings closed after \"abc\""
focus "$new"
xdotool key Escape
gone '"New Settings"' || fail "Esc did not close New Settings"
echo "width \"abc\" brought the Info box and left the canvas alone"

# --- Export as TGA to a bare name, from the File menu.
export_to() {
  focus "$tool_id"
  xdotool key F10
  sleep 0.5
  xdotool key Up
  sleep 0.2
  xdotool key Up
  sleep 0.2
  xdotool key Return
  local ex
  ex="$(dialog '"Export"')"
  focus "$ex"
  xdotool key Right         # PNG has the focus: TGA
  sleep 0.3
  click_at "$ex" 130 183    # OK
  local chooser
  chooser="$(dialog '"Save.*file"')"
  focus "$chooser"
  xdotool key ctrl+a
  xdotool type --delay 15 "$1"
  xdotool key Return
}
export_to "$RUN/exported"
for i in $(seq 100); do
  [ -s "$RUN/exported.tga" ] && break
  sleep 0.1
done
[ -s "$RUN/exported.tga" ] || fail "no exported.tga after the export"
read -r w h a <<<"$(identify -format '%w %h %A' "$RUN/exported.tga")"
[ "$w $h" = "300 200" ] || fail "exported.tga is $w x $h"
case "$a" in Undefined | False | "") fail "exported.tga has no alpha ($a)" ;; esac
echo "Export as TGA to a bare name wrote exported.tga, $w x $h with alpha"

sum="$(md5sum <"$RUN/exported.tga") $(stat -c %Y.%s "$RUN/exported.tga")"
sleep 1.1  # a rewrite would show in the modification time
export_to "$RUN/exported"
question="$(dialog '"Info"')"
focus "$question"
xdotool key Return        # No is the default
gone '"Info"' || fail "the overwrite question did not close"
gone '"Export"' || fail "the Export dialog stayed up after No"
sleep 2
[ "$(md5sum <"$RUN/exported.tga") $(stat -c %Y.%s "$RUN/exported.tga")" = "$sum" ] ||
  fail "exported.tga changed after No"
echo "a second Export to the same name answered No left the file untouched"

# --- Open a 123 x 45 PNG: left part red, right part green.
convert -size 123x45 xc:'rgb(10,200,30)' -fill 'rgb(200,20,40)' -draw 'rectangle 0,0 60,44' "$RUN/small.png"
open_picture "$RUN/small.png"
wait_title '^small\.png \| 123x45 pixels \| '
gone '"Open"' || fail "Open stayed up after OK"
zoom="$(title | sed -n 's/.* \([0-9]*\)% .*/\1/p')"
xdotool mousemove $((dx + 900)) $((dy + 640))
sleep 1
# The canvas is centred in the drawing window at the zoom of the title.
cx=$((dx + 480)) cy=$((dy + 341))
red="$(pixel $((cx - 31 * zoom / 100)) "$cy")"
green="$(pixel $((cx + 31 * zoom / 100)) "$cy")"
[ "$red" = "200,20,40" ] || fail "left part of the opened picture shows $red"
[ "$green" = "10,200,30" ] || fail "right part of the opened picture shows $green"
echo "Open of a 123 x 45 PNG: $(title), its colours on screen"

quit_from_menu "$tool_id"
