# Shared by the end-to-end tests. Each test gets its own X server, so tests
# running side by side never see each other's windows.
# Arguments of every test: WYRLE_BIN TOOLS_DIR SOURCE_DIR
set -u
WYRLE_BIN="$1"
TOOLS_DIR="$2"
SOURCE_DIR="$3"
XWIN="$TOOLS_DIR/xwin"
XVFB_PID=""
WYRLE_PID=""
WORK_DIR="$(mktemp -d)"

cleanup() {
  [ -n "$WYRLE_PID" ] && kill -9 "$WYRLE_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK_DIR"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
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
}

# Starts the program in a fresh working folder holding data/.
wyrle_start() {
  mkdir -p "$WORK_DIR/run"
  ln -sfn "$SOURCE_DIR/data" "$WORK_DIR/run/data"
  (cd "$WORK_DIR/run" && exec "$WYRLE_BIN" "$@") >"$WORK_DIR/out.txt" 2>&1 &
  WYRLE_PID=$!
}

# Waits until a window matching the grep pattern is mapped; prints its line.
wait_window() {
  local pattern="$1" seconds="${2:-20}" line="" i
  for i in $(seq $((seconds * 10))); do
    line="$("$XWIN" list 2>/dev/null | grep -E -- "$pattern" | head -n1)"
    [ -n "$line" ] && { echo "$line"; return 0; }
    kill -0 "$WYRLE_PID" 2>/dev/null || return 1
    sleep 0.1
  done
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

# Quit, the last item of the tool window's File menu (given by window id),
# must end the program with code 0 and no crash report.
quit_from_menu() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  xdotool key F10
  sleep 0.5
  xdotool key Up
  sleep 0.2
  xdotool key Return
  wait_exit 10
  [ "$EXIT_CODE" = 0 ] || fail "Quit gave exit code $EXIT_CODE"
  grep -qiE "sanitizer|segmentation|abort" "$WORK_DIR/out.txt" && fail "crash report after Quit"
  echo "Quit ended the program with code 0"
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
  dialog="$(wait_window ' 0 0 [0-9]+ [0-9]+ ""$' 10)" || fail "Ctrl+S showed no save dialog"
  xdotool windowfocus "${dialog%% *}"
  sleep 0.5
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

# Starts the program and waits for both windows; sets tool_id.
wyrle_start_windows() {
  wyrle_start "$@"
  local tool
  tool="$(wait_window ' "Wyrle"$' 30)" || fail "no tool window"
  tool_id="${tool%% *}"
  wait_window ' 960 [0-9]+ "' 30 >/dev/null || fail "no drawing window"
  sleep 1
}
