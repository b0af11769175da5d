#!/usr/bin/env bash
# How long the real program takes with large libraries, under its own Xvfb:
# from its start to the tool window shown and answering, from the click to
# the Gradient Tool shown and answering, a gradient saved and one deleted,
# and the Brushes window shown again after its close box; then its resident
# memory. "Answering" is the toolkit's reply to _NET_WM_PING (xwin ping),
# which comes once the program's event loop runs again.
#
# usage: library_windows.sh XWIN SOURCE_DIR BIN GRADIENTS PRESETS [LABEL]
# One line of figures in milliseconds (RSS in MB); run it for the builds and
# sizes to compare, one after the other, and note the machine's load.
set -u
XWIN="$1" SOURCE_DIR="$2" BIN="$3" GRADIENTS="$4" PRESETS="$5" LABEL="${6:-$(basename "$BIN")}"
WORK="$(mktemp -d)"
XVFB_PID="" WYRLE_PID=""
cleanup() {
  [ -n "$WYRLE_PID" ] && { kill -9 "$WYRLE_PID"; wait "$WYRLE_PID"; } 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "$LABEL $GRADIENTS/$PRESETS: $*"; exit 1; }

python3 "$SOURCE_DIR/tests/tools/make_libraries.py" "$WORK/run" "$GRADIENTS" "$PRESETS" || fail "no libraries"
ln -s "$SOURCE_DIR/data" "$WORK/run/data"
Xvfb -displayfd 9 -screen 0 1920x1080x24 +extension GLX -nolisten tcp 9>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
for i in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$WORK/display")" LIBGL_ALWAYS_SOFTWARE=1
for i in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

now() { date +%s%N; }
ms() { echo $((($2 - $1) / 1000000)); }
# Waits, polling every 5 ms, for a window whose xwin line matches; prints it.
mapped() {
  local i line
  for i in $(seq 120000); do
    line="$("$XWIN" list | grep -E -- "$1" | head -n1)"
    [ -n "$line" ] && { echo "$line"; return 0; }
    sleep 0.005
  done
  return 1
}
gone() {
  local i
  for i in $(seq 120000); do
    "$XWIN" list | grep -qE -- "$1" || return 0
    sleep 0.005
  done
  return 1
}
answers() { "$XWIN" ping "$1" 600000 >/dev/null || fail "window $1 never answered"; }
until_file() {  # $1 present or absent, $2 the file
  local i
  for i in $(seq 120000); do
    if [ "$1" = present ]; then [ -f "$2" ] && return 0; else [ -f "$2" ] || return 0; fi
    sleep 0.005
  done
  fail "$2 never became $1"
}

t0=$(now)
(cd "$WORK/run" && exec "$BIN") >"$WORK/out.txt" 2>&1 &
WYRLE_PID=$!
tool="$(mapped ' "Wyrle"$')" || fail "no tool window"
tool_id="${tool%% *}"
answers "$tool_id"
t_start=$(now)
sleep 2
# The Gradient button, then the colour swatch.
xdotool mousemove --window "$tool_id" 151 61 click 1
sleep 0.5
t1=$(now)
xdotool mousemove --window "$tool_id" 38 70 click 1
gradient="$(mapped '"Gradient Tool"')" || fail "no Gradient Tool"
read -r gradient_id gx gy _ <<<"$gradient"
answers "$gradient_id"
t_tool=$(now)
sleep 0.5

# "New", a name, then the clock runs from the click on "OK".
xdotool mousemove $((gx + 73)) $((gy + 446)) click 1
sleep 0.3
xdotool mousemove $((gx + 170)) $((gy + 446)) click 1
sleep 0.3
xdotool key ctrl+a
xdotool type zzsaved
sleep 0.3
t2=$(now)
xdotool mousemove $((gx + 256)) $((gy + 446)) click 1
until_file present "$WORK/run/Gradients/zzsaved.png"
answers "$gradient_id"
t_save=$(now)
sleep 0.5

# "X" on the first row, then Yes: the clock runs from the key.
xdotool mousemove $((gx + 272)) $((gy + 255)) click 1
question="$(mapped '"Info"')" || fail "X asked nothing"
xdotool windowfocus "${question%% *}" 2>/dev/null
sleep 0.3
t3=$(now)
xdotool key alt+y
until_file absent "$WORK/run/Gradients/gradient 00000.png"
gone '"Info"'
# Work queued for after the click starts once the toolkit idles: a moment's
# grace, then it has to answer; the grace is not counted.
sleep 0.1
answers "$gradient_id"
t_delete=$(($(now) - 100000000))

# The Brushes button, the close box, the Brushes button again.
xdotool mousemove --window "$tool_id" 166 338 click 1
brushes="$(mapped ' "Brushes"$')" || fail "no Brushes window"
answers "${brushes%% *}"
sleep 0.5
"$XWIN" close "${brushes%% *}"
gone ' "Brushes"$'
answers "$tool_id"
sleep 0.5
t4=$(now)
xdotool mousemove --window "$tool_id" 166 338 click 1
brushes="$(mapped ' "Brushes"$')" || fail "no Brushes window the second time"
answers "${brushes%% *}"
t_brushes=$(now)
rss=$(awk '/VmRSS/ { print int($2 / 1024) }' "/proc/$WYRLE_PID/status")
warnings=$(grep -c 'Gtk-WARNING' "$WORK/out.txt")
printf '%-10s %5s/%-5s start-up %6s | Gradient Tool %5s | save %6s | delete %6s | Brushes again %6s | RSS %4s MB | Gtk warnings %s\n' \
  "$LABEL" "$GRADIENTS" "$PRESETS" "$(ms "$t0" "$t_start")" "$(ms "$t1" "$t_tool")" "$(ms "$t2" "$t_save")" \
  "$(ms "$t3" "$t_delete")" "$(ms "$t4" "$t_brushes")" "$rss" "$warnings"
