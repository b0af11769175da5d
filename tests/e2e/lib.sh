# Shared by the end-to-end tests. Each test gets its own X server, so tests
# running side by side never see each other's windows.
# Arguments of every test: WYRLE_BIN TOOLS_DIR SOURCE_DIR
set -u
WYRLE_BIN="$1"
TOOLS_DIR="$2"
SOURCE_DIR="$3"
XWIN="$TOOLS_DIR/xwin"
XVFB_PID=""
WM_PID=""
WYRLE_PID=""
WORK_DIR="$(mktemp -d)"

cleanup() {
  [ -n "$WYRLE_PID" ] && kill -9 "$WYRLE_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK_DIR"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  # WYRLE_E2E_FAILSHOT names a file to keep the screen in, for the one who
  # looks into the failure.
  [ -n "${WYRLE_E2E_FAILSHOT:-}" ] && [ -n "${DISPLAY:-}" ] && import -window root "$WYRLE_E2E_FAILSHOT" 2>/dev/null
  [ -f "$WORK_DIR/out.txt" ] && { echo "--- program output:"; cat "$WORK_DIR/out.txt"; }
  exit 1
}

xvfb_start() {
  local f="$WORK_DIR/display"
  Xvfb -displayfd 9 -screen 0 1920x1080x24 +extension GLX -nolisten tcp 9>"$f" 2>/dev/null &
  XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$f" ] && break
    sleep 0.1
  done
  [ -s "$f" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$f")"
  export LIBGL_ALWAYS_SOFTWARE=1
  # On a busy machine the server can name its display before a client gets
  # through; the program would then fail to open it.
  for i in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY accepts no client"
  # The same test again on a desktop: WYRLE_E2E_WM names the window manager.
  [ -z "${WYRLE_E2E_WM:-}" ] || wm_start "$WYRLE_E2E_WM"
}

# Starts a window manager (openbox, metacity or our panelwm) on the test's
# server and waits until it has taken the screen; it ends with the test.
wm_start() {
  local wm="$1" i
  case "$wm" in
    openbox | metacity)
      command -v "$wm" >/dev/null || fail "$wm is not installed (scripts/deps.sh installs it)" ;;
    panelwm) ;;
    *) fail "unknown window manager \"$wm\"" ;;
  esac
  local attempt
  for attempt in 1 2; do
    case "$wm" in
      openbox) openbox --sm-disable >"$WORK_DIR/wm.txt" 2>&1 & WM_PID=$! ;;
      metacity) metacity --no-composite >"$WORK_DIR/wm.txt" 2>&1 & WM_PID=$! ;;
      panelwm) "$TOOLS_DIR/panelwm" >"$WORK_DIR/wm.txt" 2>&1 & WM_PID=$! ;;
    esac
    # A window manager announces itself on the root window.
    for i in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
      kill -0 "$WM_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$WM_PID" 2>/dev/null && fail "$wm did not take the screen"
    cat "$WORK_DIR/wm.txt"
    # Seen once on a loaded machine: openbox could not open a display that
    # answered xdpyinfo a moment before. Said, and tried once more.
    [ "$attempt" = 1 ] && echo "$wm ended at its start; starting it once more"
    sleep 0.5
  done
  fail "$wm did not start"
}

# Starts the program in a fresh working folder holding data/.
wyrle_start() {
  mkdir -p "$WORK_DIR/run"
  ln -sfn "$SOURCE_DIR/data" "$WORK_DIR/run/data"
  (cd "$WORK_DIR/run" && exec "$WYRLE_BIN" "$@") >"$WORK_DIR/out.txt" 2>&1 &
  WYRLE_PID=$!
}

# The left and top of the frame a window manager put round a window ("0 0"
# on a bare server): a window placed at (x, y) has its inside there plus these.
frame_offset() {
  xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
    awk -F'[=,]' '/=/ { l = $2 + 0; t = $4 + 0 } END { print l + 0, t + 0 }'
}

# Waits until a window matching the grep pattern is mapped and stays put (a
# window manager places a window a moment after it is mapped); prints its
# line, also when it still moves at the end of the wait.
wait_window() {
  local pattern="$1" seconds="${2:-20}" line="" now i
  for i in $(seq $((seconds * 10))); do
    now="$("$XWIN" list 2>/dev/null | grep -E -- "$pattern" | head -n1)"
    [ -n "$now" ] && [ "$now" = "$line" ] && { echo "$now"; return 0; }
    line="$now"
    kill -0 "$WYRLE_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  [ -n "$line" ] && { echo "$line"; return 0; }
  return 1
}

# Waits for the program to end and sets EXIT_CODE (124 after the timeout).
wait_exit() {
  local seconds="${1:-10}" i
  EXIT_CODE=124
  for i in $(seq $((seconds * 10))); do
    if ! kill -0 "$WYRLE_PID" 2>/dev/null; then
      wait "$WYRLE_PID"
      EXIT_CODE=$?
      WYRLE_PID=""
      return 0
    fi
    sleep 0.1
  done
}

# After the step that ends the program: it must end with code 0 within
# 1.9 s, with no crash report. The tool window asks the render thread to end
# the process, which runs the engine's exit first; its own fallback ends the
# process without it, but only after 2 s. (Quiet, it takes 0.3 s; with the
# machine loaded, a software-rendered frame has delayed it to 1.5 s.)
expect_clean_end() {
  local what="$1" started ms limit=1900
  started="$(date +%s%N)"
  wait_exit 10
  ms=$((($(date +%s%N) - started) / 1000000))
  [ "$EXIT_CODE" = 0 ] || fail "$what gave exit code $EXIT_CODE"
  # A sanitizer build runs several times slower: there the time says nothing
  # (WYRLE_E2E_TIMING=0) and only the clean end is checked.
  if [ "${WYRLE_E2E_TIMING:-1}" = 1 ]; then
    [ "$ms" -le "$limit" ] || fail "$what took $ms ms to end the program: not the render thread's exit"
  else
    echo "$what: its time ($ms ms) is not checked in this build"
  fi
  grep -qiE "sanitizer|segmentation|abort" "$WORK_DIR/out.txt" && fail "crash report after $what"
  echo "$what ended the program with code 0 after $ms ms"
}

# Quit, the last item of the tool window's File menu (given by window id).
quit_from_menu() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  xdotool key F10
  sleep 0.5
  xdotool key Up
  sleep 0.2
  xdotool key Return
  expect_clean_end Quit
}

# The drawing window's title (the engine writes it every frame); the window
# is the one whose id the test keeps in draw_id.
title() { "$XWIN" list | awk -v id="$draw_id" '$1 == id { sub(/^[^"]*"/, ""); sub(/"$/, ""); print }'; }
# Waits until that title matches the pattern.
wait_title() {
  local pattern="$1" i
  for i in $(seq 50); do
    title | grep -qE -- "$pattern" && return 0
    sleep 0.1
  done
  fail "drawing window title \"$(title)\" never matched \"$pattern\""
}

# Ctrl+S in the drawing window (draw_id) while the artwork has no name to be
# saved under: types the path into the save dialog and waits for the file.
save_as_new() {
  local path="$1" dialog i
  xdotool windowfocus "$draw_id" 2>/dev/null
  sleep 0.2
  xdotool key ctrl+s
  dialog="$(wait_window '"Save artwork as"$' 10)" || fail "Ctrl+S showed no save dialog"
  local dialog_id sx sy left top
  read -r dialog_id sx sy _ <<<"$dialog"
  read -r left top <<<"$(frame_offset "$dialog_id")"
  [ "$sx" = "$left" ] && [ "$sy" = "$top" ] || fail "the save dialog is at ($sx, $sy), not in the screen's corner"
  sleep 0.5
  # A click into its name field, as a user would: under a window manager it
  # reaches the field only when the dialog is above the drawing window. A
  # bare server gives no focus for a click.
  xdotool mousemove --window "$dialog_id" 300 26 click 1
  [ -n "${WYRLE_E2E_WM:-}" ] || xdotool windowfocus "$dialog_id"
  sleep 0.3
  xdotool key ctrl+a
  xdotool type --delay 10 "$path"
  xdotool key Return
  for i in $(seq 50); do [ -s "$path" ] && break; sleep 0.1; done
  [ -s "$path" ] || fail "Save wrote no file $path"
}

# Ctrl+O in the drawing window, the path typed into the Open dialog, OK.
open_picture() {
  local path="$1" open open_id ox oy
  xdotool windowfocus "$draw_id" 2>/dev/null
  sleep 0.2
  xdotool key ctrl+o
  open="$(wait_window '"Open"$' 10)" || fail "Ctrl+O showed no Open dialog"
  read -r open_id ox oy _ <<<"$open"
  xdotool windowfocus "$open_id"
  sleep 0.3
  # The path text, right of "Open picture:".
  xdotool mousemove $((ox + 250)) $((oy + 74)) click 1
  xdotool key ctrl+a
  xdotool type --delay 10 "$path"
  # OK, left in the bottom row.
  xdotool mousemove $((ox + 202)) $((oy + 164)) click 1
}

# Chooses the Help menu's item `n` counted from the bottom (1 About Wyrle,
# 2 Wyrle Online..., 3 Preferences..., 4 Help) in the tool window `tool_id`.
help_item() {
  xdotool windowfocus "$tool_id"
  sleep 0.3
  xdotool key F10
  sleep 0.5
  xdotool key Left
  sleep 0.3
  local i
  for i in $(seq "$1"); do xdotool key Up; sleep 0.1; done
  xdotool key Return
}

# Makes the program's opener a script that appends one line per start to
# $OPENED: the number of its arguments, then the arguments.
OPENED="$WORK_DIR/opened.txt"
recording_opener() {
  printf '#!/bin/sh\necho "$# $*" >> "%s"\n' "$OPENED" >"$WORK_DIR/opener.sh"
  chmod +x "$WORK_DIR/opener.sh"
  export WYRLE_OPENER="$WORK_DIR/opener.sh"
}
# How many times the recording opener was started.
opened_count() { [ -f "$OPENED" ] && wc -l <"$OPENED" || echo 0; }

# Waits for the drawing window to show its artwork and stay put (a window
# manager moves it after it is mapped, and the engine docks it); sets draw
# (its line), draw_id, dx and dy.
settled_drawing_window() {
  local last="" now i
  draw="$(wait_window ' 960 [0-9]+ "wyrle' "${1:-20}")" || fail "no drawing window"
  draw_id="${draw%% *}"
  for i in $(seq 30); do
    now="$("$XWIN" list | awk -v id="$draw_id" '$1 == id')"
    [ -n "$now" ] && [ "$now" = "$last" ] && break
    last="$now"
    sleep 0.3
  done
  draw="$now"
  read -r draw_id dx dy _ _ _ <<<"$draw"
}

# The tool window's Gradient button and then its colour swatch show the
# Gradient Tool; sets gradient (its line), gradient_id, gx and gy.
show_gradient_tool() {
  xdotool mousemove --window "$tool_id" 151 61 click 1
  sleep 0.3
  xdotool mousemove --window "$tool_id" 38 70 click 1
  gradient="$(wait_window '"Gradient Tool"' 10)" || fail "the swatch showed no Gradient Tool"
  read -r gradient_id gx gy _ _ _ <<<"$gradient"
}

# The colour "r,g,b" of the pixel at ($1, $2) in the Gradient Tool, from its
# top left corner (gx, gy, as show_gradient_tool sets them).
gradient_pixel() {
  import -window root -crop "1x1+$((gx + $1))+$((gy + $2))" -depth 8 \
    -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:
}
# Whether the Gradient Tool's tick box at ($1, $2) is ticked: GTK draws a
# ticked box blue, an empty one light.
gradient_ticked() {
  local rgb r b
  rgb="$(gradient_pixel "$1" "$2")"
  r="${rgb%%,*}" b="${rgb##*,}"
  [ "$b" -gt $((r + 60)) ]
}

# Starts the program and waits for both windows, the drawing window settled;
# sets tool_id and, as settled_drawing_window, draw, draw_id, dx and dy.
wyrle_start_windows() {
  wyrle_start "$@"
  local tool
  tool="$(wait_window ' "Wyrle"$' 30)" || fail "no tool window"
  tool_id="${tool%% *}"
  settled_drawing_window 30
  sleep 1
}

# A left drag in 30 steps from ($1, $2) to ($3, $4) in the drawing window,
# whose client origin the test keeps in dx and dy. The brush chain follows
# the pointer even between strokes: it gets a moment to gather at the start.
drag_line() {
  local i
  xdotool mousemove $((dx + $1)) $((dy + $2))
  sleep 1
  xdotool mousedown 1
  for i in $(seq 30); do
    xdotool mousemove $((dx + $1 + ($3 - $1) * i / 30)) $((dy + $2 + ($4 - $2) * i / 30))
    sleep 0.03
  done
  xdotool mouseup 1
}

# Moves the drawing window ($1) to about 200 pixels right of the tool window's
# client origin ($2, $3) and a little above it: the engine docks it beside
# the tool window within a second. $4 starts the messages.
expect_dock_when_moved() {
  local id="$1" tx="$2" ty="$3" what="${4:-}" x="" i
  xdotool windowmove "$id" $((tx + 210)) $((ty - 10))
  for i in $(seq 20); do
    sleep 0.05
    read -r _ x _ <<<"$("$XWIN" list | awk -v id="$id" '$1 == id')"
    if [ $((x - tx)) -ge 190 ] && [ $((x - tx)) -le 206 ]; then
      echo "${what}moved beside the tool window, the drawing window docked $((x - tx)) px right of it within $((i * 50)) ms"
      return 0
    fi
  done
  fail "${what}moved beside the tool window, the drawing window did not dock (at x $x, tool window at $tx)"
}
