#!/usr/bin/env bash
# A painter's session that opens every dialog of the real program, from the
# drawing window's keys after a stroke and from the menus: each dialog, box
# and question comes up as the top window with the keyboard focus, the
# artwork dialogs and the boxes centred on the screen; Esc closes New
# Settings and Open; the gradient library's overwrite question stands whole
# above the stay-on-top Gradient Tool; and the program writes no GTK warning.
# It runs on a bare server and, with WYRLE_E2E_WM, under a window manager.
# With WYRLE_E2E_SHOTS naming a folder, a picture of each dialog is kept
# there, to be looked at.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v import >/dev/null || fail "ImageMagick is missing"
xvfb_start
export GSETTINGS_BACKEND=memory
RUN="$WORK_DIR/run"
WM="${WYRLE_E2E_WM:-no window manager}"

# Libraries with a few rows, as a painter's hold.
mkdir -p "$RUN/Gradients" "$RUN/Brushes/Icons"
convert -size 160x22 gradient:red-blue "$RUN/Gradients/Sunset.png"
convert -size 160x22 gradient:yellow-green "$RUN/Gradients/Forest green 2.png"
for n in "Test Brush_1" Soft; do
  convert -size 256x256 plasma:fractal "$RUN/Brushes/$n.png"
  convert "$RUN/Brushes/$n.png" -resize 64x64 "$RUN/Brushes/Icons/$n.png"
done

wyrle_start_windows
wait_title ' 100% '

# The mapped windows bottom to top, without a window manager's own (1 x 1).
windows() { "$XWIN" list | grep -vE ' -?[0-9]+ 1 1 "[^"]*"$'; }
# Waits for a window whose line matches the pattern (and stays put); sets
# win (its line) and win_id, wx, wy, ww, wh.
await() {
  win="$(wait_window "$1" 10)" || fail "$WM: $2 showed no window $1"
  read -r win_id wx wy ww wh _ <<<"$win"
}
# The window with the keyboard focus: the one the window manager made
# active, or on a bare server the server's focus.
focused() {
  if [ -n "${WYRLE_E2E_WM:-}" ]; then
    printf '0x%x\n' "$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # //p')"
  else
    printf '0x%x\n' "$(xdotool getwindowfocus)"
  fi
}
# The window from `await` is the top window and has the focus (the window
# manager may take a moment to hand it over).
top_with_focus() {
  top="$(windows | tail -n1 | cut -d' ' -f1)"
  focus="$(focused)"
  [ "$top" = "$win_id" ] && [ "$focus" = "$(printf '0x%x' "$win_id")" ]
}
expect_top_with_focus() {
  local top="" focus=""
  wait_for 5 top_with_focus && return 0
  fail "$WM: $1 is not the top window with the focus (top $top, focus $focus, it $win_id): $(windows | tr '\n' ';')"
}
# Its middle, with the frame a window manager put round it, is the screen's.
# (Before a window manager has framed a first window, wx cannot know the
# title bar's height: a dialog placed then is lower by up to half of it.)
expect_centred() {
  local left top cx cy
  read -r left top <<<"$(frame_offset "$win_id")"
  cx=$((wx + ww / 2)) cy=$((wy - top + (wh + top) / 2))
  [ "$cx" -ge 956 ] && [ "$cx" -le 964 ] && [ "$cy" -ge 536 ] && [ "$cy" -le $((544 + top / 2)) ] ||
    fail "$WM: $1 is not centred: its middle is at ($cx, $cy), its title bar $top high"
}
keep_shot() {
  [ -n "${WYRLE_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$WYRLE_E2E_SHOTS"
  settled_shot "$WYRLE_E2E_SHOTS/$1.png"
}
unmapped() { [ -z "$(window_line "$1")" ]; }
gone() { wait_for 5 unmapped "$1" || fail "$WM: $2"; }
# A stroke in the drawing window after a click in the tool window, as a
# painter goes from one to the other; waits until the stroke has faded out,
# when the drawing window takes keys.
paint_a_stroke() {
  xdotool mousemove --window "$tool_id" 100 95 click 1  # Lighten
  drag_line 300 250 "$1" 420
  settled_window "$draw_id"
  engine_ready
}
# The File, Tools or Help menu of the tool window: menu number (0 to 2) and
# the item counted from its top.
menu_item() {
  focus_window "$tool_id"
  open_menu
  local i
  for i in $(seq "$1"); do next_menu Right; done
  for i in $(seq "$2"); do
    xdotool key Down
    pause 0.02
  done
  xdotool key Return
}

# --- From the drawing window's keys, right after a stroke.
for dialog in New Open; do
  paint_a_stroke 500
  if [ $dialog = New ]; then key=ctrl+n title='"New Settings"$'; else key=ctrl+o title='"Open"$'; fi
  xdotool key "$key"
  await "$title" "$key in the drawing window"
  expect_top_with_focus "$dialog from $key"
  expect_centred "$dialog from $key"
  keep_shot "$dialog-key"
  xdotool key Escape
  gone "$win_id" "Esc did not close $dialog after $key"
  echo "$WM: $key after a stroke: $dialog came up on top with the focus, Esc closed it"
done

# --- From the menus.
menu_item 0 1
await '"New Settings"$' "File > New settings"
expect_top_with_focus "New Settings from the menu"
# A width that is no number brings the Info box, above the dialog.
xdotool mousemove $((wx + 176)) $((wy + 73)) click 1  # the width field
xdotool key ctrl+a
type_text abc
xdotool mousemove $((wx + 140)) $((wy + 262)) click 1  # OK
new_id="$win_id"
await '"Info"$' "OK with a width that is no number"
expect_top_with_focus "the Info box"
expect_centred "the Info box"
keep_shot "message-box"
xdotool key Return
gone "$win_id" "Return did not close the Info box"
win_id="$new_id"
xdotool key Escape
gone "$new_id" "Esc did not close New Settings"
echo "$WM: New Settings from the menu, and its Info box above it"

for item in "0 2 Open" "0 6 Export" "2 2 Preferences"; do
  read -r m n name <<<"$item"
  menu_item "$m" "$n"
  await "\"$name\"$" "the menu item for $name"
  expect_top_with_focus "$name from the menu"
  expect_centred "$name"
  keep_shot "$name"
  "$XWIN" close "$win_id"
  gone "$win_id" "the close box did not close $name"
  echo "$WM: $name came up from the menu on top with the focus, centred"
done

menu_item 2 4
await ' [0-9]{2,} [0-9]{2,} ""$' "Help > About Wyrle"
expect_top_with_focus "the About box"
expect_centred "the About box"
keep_shot "About"
"$XWIN" close "$win_id"
gone "$win_id" "the close box did not close the About box"
echo "$WM: the About box came up on top with the focus, centred"

# --- The Gradient Tool, a save that lists the rows anew, and the overwrite
# question above the tool that stays on top.
show_gradient_tool
await '"Gradient Tool"' "the colour swatch"
expect_top_with_focus "the Gradient Tool"
keep_shot "Gradient-Tool"
tool_of_gradients="$win_id"
name_gradient() {
  xdotool mousemove $((gx + 76)) $((gy + 447)) click 1  # New
  settled_window "$tool_of_gradients"
  xdotool mousemove $((gx + 173)) $((gy + 447)) click 1  # the name field
  xdotool key ctrl+a
  type_text "$1"
  xdotool mousemove $((gx + 258)) $((gy + 447)) click 1  # OK
}
name_gradient Evening
wait_for 5 test -s "$RUN/Gradients/Evening.png"
[ -s "$RUN/Gradients/Evening.png" ] || fail "$WM: the new gradient was not saved"
name_gradient Sunset
await '"Info"$' "saving under an existing name"
expect_top_with_focus "the overwrite question"
expect_centred "the overwrite question"
# Whole on the screen, above the Gradient Tool.
[ "$wx" -ge 0 ] && [ "$wy" -ge 0 ] && [ $((wx + ww)) -le 1920 ] && [ $((wy + wh)) -le 1080 ] ||
  fail "$WM: the overwrite question is not whole on the screen: $win"
above="$(windows | awk -v q="$win_id" -v t="$tool_of_gradients" '$1 == t { s = NR } $1 == q { a = NR } END { print (a > s) }')"
[ "$above" = 1 ] || fail "$WM: the overwrite question is below the Gradient Tool: $(windows | tr '\n' ';')"
keep_shot "Gradient-overwrite"
xdotool key Return  # No
gone "$win_id" "No did not close the overwrite question"
echo "$WM: the overwrite question stood whole above the Gradient Tool, with the focus"
xdotool mousemove --window "$tool_id" 38 70 click 1  # the swatch hides the tool
gone "$tool_of_gradients" "the swatch did not hide the Gradient Tool"

# --- The brush library and its delete question.
menu_item 1 5
await '"Brushes"$' "Tools > Brushes"
expect_top_with_focus "the brush library"
keep_shot "Brushes"
brushes_id="$win_id"
xdotool mousemove $((wx + 144)) $((wy + 8)) click 1  # the first row's "X"
await '"Info"$' "the first row's X"
expect_top_with_focus "the delete question"
keep_shot "Brushes-delete"
xdotool key Return  # No
gone "$win_id" "No did not close the delete question"
"$XWIN" close "$brushes_id"
gone "$brushes_id" "the close box did not close the brush library"
echo "$WM: the brush library and its delete question came up on top with the focus"

quit_from_menu "$tool_id"
warnings="$(grep -c 'Gtk-WARNING\|Gtk-CRITICAL' "$WORK_DIR/out.txt")"
[ "$warnings" = 0 ] || fail "$WM: the session wrote $warnings GTK warnings"
echo "$WM: the session that opened every dialog wrote no GTK warning"
