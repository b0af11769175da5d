# Shared by the end-to-end tests. Each test gets its own X server, so tests
# running side by side never see each other's windows.
# Arguments of every test: WYRLE_BIN TOOLS_DIR SOURCE_DIR
#
# Input is paced by the clock and the screen is read once it is settled, so
# that a test means the same on a quiet machine and on a loaded one:
#   drag_path [-b BUTTON] [-u CHECK] [-k] SECONDS X0 Y0 X1 Y1 ...
#       a drag through screen points that lasts SECONDS on the clock,
#       whatever an xdotool call costs; with -u it ends as soon as the
#       command CHECK succeeds (asked every 0.2 s; SECONDS is then the
#       limit; -k keeps the button down). Prints its measured length and
#       keeps it in DRAG_MS.
#   drag_line X0 Y0 X1 Y1 [SECONDS]
#       the same in the drawing window (from dx, dy), after a moment for the
#       brush chain to gather at the start
#   pause SECONDS         a pause between two input steps
#   type_text TEXT [MS]   types TEXT into the focused window, MS between keys
#   focus_window ID       gives ID the keyboard, once the server says so
#   open_menu             F10 in the focused window, once its menu is up
#   settled_shot FILE [CROP]
#       the screen (or its part WxH+X+Y) once two shots in a row agree
#   settled_window ID     waits until a window's part of the screen is still
#   shot_until same|differs REF FILE [CROP] [SECONDS]
#       waits until the settled screen is (or is no longer) the picture REF
#   wait_for SECONDS COMMAND...    polls until COMMAND succeeds
#   wait_window PATTERN [SECONDS]  a window mapped (prints its line)
#   wait_gone PATTERN [SECONDS]    no window of the pattern mapped any more
#   settled_line ID       a window's line once its place stopped changing
#   steady_value SECONDS COMMAND...
#       COMMAND's output once it stayed the same for SECONDS
#   button_on X Y         the tool window's button at that screen point is lit
#   engine_ready          the engine takes keys again (a stroke has faded out)
# Helpers that look for something return a status, and their callers stop on
# it; a fail inside $(...) still ends the test, with its message on stderr.
#
# WYRLE_E2E_INPUT sets the speed of the input: "slow" makes every xdotool
# call 25 ms later (as on a loaded machine), "instant" drops every input
# pause shorter than 50 ms. scripts/e2e-speeds runs the tests at both.
set -u
WYRLE_BIN="$1"
TOOLS_DIR="$2"
SOURCE_DIR="$3"
XWIN="$TOOLS_DIR/xwin"
XVFB_PID=""
WM_PID=""
WYRLE_PID=""
WORK_DIR="$(mktemp -d)"
TEST_PID=$$
WYRLE_E2E_INPUT="${WYRLE_E2E_INPUT:-}"

cleanup() {
  [ -n "$WYRLE_PID" ] && kill -9 "$WYRLE_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK_DIR"
}
trap cleanup EXIT
# A fail inside a command substitution stops the test through this.
trap 'exit 1' USR1

fail() {
  # Inside $(...) stdout is the caller's value: the message goes to stderr.
  local to=1
  [ "$BASHPID" = "$TEST_PID" ] || to=2
  {
    echo "FAIL: $*"
    # WYRLE_E2E_FAILSHOT names a file to keep the screen in, for the one who
    # looks into the failure.
    [ -n "${WYRLE_E2E_FAILSHOT:-}" ] && [ -n "${DISPLAY:-}" ] && import -window root "$WYRLE_E2E_FAILSHOT" 2>/dev/null
    [ -f "$WORK_DIR/out.txt" ] && { echo "--- program output:"; cat "$WORK_DIR/out.txt"; }
  } >&"$to"
  [ "$to" = 1 ] || kill -USR1 "$TEST_PID"
  exit 1
}

case "$WYRLE_E2E_INPUT" in
  "" | slow | instant) ;;
  *) fail "WYRLE_E2E_INPUT is \"$WYRLE_E2E_INPUT\": slow, instant or unset" ;;
esac

# Every xdotool call of the tests comes through here.
xdotool() {
  [ "$WYRLE_E2E_INPUT" = slow ] && sleep 0.025
  command xdotool "$@"
}

# to_ms VAR SECONDS: whole milliseconds of a decimal number of seconds.
to_ms() {
  local s="$2" whole frac=""
  whole="${s%%.*}"
  [[ "$s" == *.* ]] && frac="${s#*.}"
  frac="${frac}000"
  printf -v "$1" '%d' $((10#${whole:-0} * 1000 + 10#${frac:0:3}))
}
# clock_us VAR: the time in microseconds, without starting a process.
clock_us() { printf -v "$1" '%s' "${EPOCHREALTIME/[.,]/}"; }

# The one pause between input steps: "instant" input drops the short ones.
pause() {
  if [ "$WYRLE_E2E_INPUT" = instant ]; then
    local ms
    to_ms ms "$1"
    [ "$ms" -lt 50 ] && return 0
  fi
  sleep "$1"
}

# type_text TEXT [MS]: keys typed MS apart (12, xdotool's own, by default).
type_text() {
  local delay="${2:-12}"
  [ "$WYRLE_E2E_INPUT" = instant ] && [ "$delay" -lt 50 ] && delay=0
  xdotool type --delay "$delay" "$1"
}

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds; 1 after SECONDS.
wait_for() {
  local limit start now
  to_ms limit "$1"
  shift
  clock_us start
  until "$@"; do
    clock_us now
    [ $(((now - start) / 1000)) -ge "$limit" ] && return 1
    sleep 0.1
  done
}

xvfb_start() {
  local f="$WORK_DIR/display"
  # -noreset: without it the server resets when its last client leaves, and
  # a client that comes just then is refused.
  Xvfb -displayfd 9 -screen 0 1920x1080x24 +extension GLX -nolisten tcp -noreset 9>"$f" 2>/dev/null &
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
  wait_for 10 eval 'xdpyinfo >/dev/null 2>&1' || fail "Xvfb on $DISPLAY accepts no client"
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

# The toolkit's settings for the program: a caret that blinks would never
# let a shot of a text field settle.
mkdir -p "$WORK_DIR/config/gtk-3.0"
printf '[Settings]\ngtk-cursor-blink = false\n' >"$WORK_DIR/config/gtk-3.0/settings.ini"
export XDG_CONFIG_HOME="$WORK_DIR/config"

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

# No window matching the grep pattern is mapped.
no_window() { ! "$XWIN" list 2>/dev/null | grep -qE -- "$1"; }
# Waits until no window matching the grep pattern is mapped any more.
wait_gone() { wait_for "${2:-5}" no_window "$1"; }

# The line of window ID in the list ("" once it is unmapped).
window_line() { "$XWIN" list 2>/dev/null | awk -v id="$1" '$1 == id'; }

# Window ID has the keyboard focus.
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ]; }
# Gives window ID the keyboard focus and waits until the server says it has
# it: keys sent afterwards reach it.
focus_window() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
  wait_for 5 has_focus "$1" || fail "window $1 did not take the keyboard focus"
}

# The line of window ID once its place and size have stopped changing (a
# dialog shown again maps where it was and is moved after).
settled_line() { steady_value 0.3 window_line "$1"; }

# The open menu's popup window, if one is up (a menu is listed as "wyrle").
menu_popup() { "$XWIN" list 2>/dev/null | awk '/ "wyrle"$/ { print $1; exit }'; }
menu_up_other_than() {
  local id
  id="$(menu_popup)"
  [ -n "$id" ] && [ "$id" != "$1" ]
}
# F10 in the focused window: waits until its first menu is up; keeps the
# popup's id in MENU_ID.
open_menu() {
  xdotool key F10
  wait_for 5 menu_up_other_than none || fail "F10 opened no menu"
  MENU_ID="$(menu_popup)"
}
# Left or Right in an open menu bar: waits until the next menu is up.
next_menu() {
  xdotool key "$1"
  wait_for 5 menu_up_other_than "$MENU_ID" || fail "$1 in the menu bar opened no other menu"
  MENU_ID="$(menu_popup)"
}

# grab FILE [CROP]: the root window, or its part WxH+X+Y.
grab() {
  if [ -n "${2:-}" ]; then
    import -window root -crop "$2" +repage "$1"
  else
    import -window root "$1"
  fi
}
# The number of pixels in which two pictures differ.
differ() { compare -metric AE "$1" "$2" /dev/null 2>&1; }
same_picture() { [ "$(differ "$1" "$2")" = 0 ]; }

# The screen (or its part WxH+X+Y) once two shots SETTLE_GAP apart agree: the
# program has drawn what it was going to (a stroke's trail runs on after the
# release, a window is drawn after it is mapped).
# Its own shots are kept in a hidden folder: a file selector that lists the
# test's folder would show them change.
SETTLE_GAP=0.3
SHOTS="$WORK_DIR/.shots"
mkdir -p "$SHOTS"
settled_shot() {
  local out="$1" crop="${2:-}" a="$SHOTS/a.png" b="$SHOTS/b.png" i
  grab "$a" "$crop"
  for i in $(seq 60); do
    sleep "$SETTLE_GAP"
    grab "$b" "$crop"
    if same_picture "$a" "$b"; then
      mv "$b" "$out"
      return 0
    fi
    mv "$b" "$a"
  done
  fail "the screen${crop:+ ($crop)} never settled"
}

# The part of the screen a mapped window covers, as a crop.
window_crop() {
  local line x y w h
  line="$(window_line "$1")"
  [ -n "$line" ] || return 1
  read -r _ x y w h _ <<<"$line"
  echo "${w}x${h}+${x}+${y}"
}
# Waits until window ID is drawn and still.
settled_window() {
  local crop
  crop="$(window_crop "$1")" || fail "window $1 is not mapped"
  settled_shot "$SHOTS/window.png" "$crop"
}

# shot_until same|differs REF FILE [CROP] [SECONDS]: settled shots until one
# is (or is no longer) the picture REF; that one is FILE. 1 after SECONDS
# (10 by default), FILE then the last shot.
shot_until() {
  local want="$1" ref="$2" out="$3" crop="${4:-}" limit start now
  to_ms limit "${5:-10}"
  clock_us start
  while :; do
    settled_shot "$out" "$crop"
    if same_picture "$ref" "$out"; then
      [ "$want" = same ] && return 0
    else
      [ "$want" = differs ] && return 0
    fi
    clock_us now
    [ $(((now - start) / 1000)) -ge "$limit" ] && return 1
  done
}

# steady_value SECONDS COMMAND...: COMMAND's output once it has not changed
# for SECONDS (within 30 s; 1 if it never holds still).
steady_value() {
  local hold value last since now i
  to_ms hold "$1"
  shift
  last="$("$@")"
  clock_us since
  for i in $(seq 300); do
    sleep 0.1
    value="$("$@")"
    clock_us now
    if [ "$value" != "$last" ]; then
      last="$value"
      since="$now"
    elif [ $(((now - since) / 1000)) -ge "$hold" ]; then
      echo "$last"
      return 0
    fi
  done
  echo "$last"
  return 1
}

# The colour of a screen pixel as "r g b" (0..255).
screen_rgb() {
  import -window root -crop "1x1+$1+$2" +repage -format '%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]' info:
}
# The tool window's button at screen point (X, Y) is lit: a chosen button is
# orange, the others grey.
button_on() {
  local r b
  read -r r _ b <<<"$(screen_rgb "$1" "$2")"
  [ -n "$b" ] && [ "$r" -gt $((b + 80)) ]
}

# The tool window's Brush or Eraser button (`tool_id`) is lit.
tool_lit() {
  local tx ty x=20
  [ "$1" = eraser ] && x=110
  read -r _ tx ty _ <<<"$(window_line "$tool_id")"
  button_on $((tx + x)) $((ty + 245))
}
# Waits until the engine takes commands again. While a stroke fades out the
# drawing window ignores keys and the tool window's commands, and the fade
# goes on after the screen looks still. "e" chooses the eraser, which lights
# its button (pressed again until it does), and "q" the brush again; the
# canvas is not touched.
engine_ready() {
  # A window manager gave it the focus at the stroke: asked only if not.
  has_focus "$draw_id" || focus_window "$draw_id"
  local i
  for i in $(seq 50); do
    xdotool key e
    wait_for 0.3 tool_lit eraser && break
  done
  tool_lit eraser || fail "the drawing window took no key for 20 s"
  [ "$i" = 1 ] || echo "the drawing window took keys again after $i presses"
  xdotool key q
  wait_for 5 tool_lit brush || fail "q did not choose the brush again"
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
  focus_window "$1"
  open_menu
  xdotool key Up
  xdotool key Return
  expect_clean_end Quit
}

# The drawing window's title (the engine writes it every frame); the window
# is the one whose id the test keeps in draw_id.
title() { "$XWIN" list | awk -v id="$draw_id" '$1 == id { sub(/^[^"]*"/, ""); sub(/"$/, ""); print }'; }
title_matches() { title | grep -qE -- "$1"; }
# Waits until that title matches the pattern.
wait_title() {
  wait_for 5 title_matches "$1" || fail "drawing window title \"$(title)\" never matched \"$1\""
}

# Ctrl+S in the drawing window (draw_id) while the artwork has no name to be
# saved under: types the path into the save dialog and waits for the file.
save_as_new() {
  local path="$1" dialog
  focus_window "$draw_id"
  xdotool key ctrl+s
  dialog="$(wait_window '"Save artwork as"$' 10)" || fail "Ctrl+S showed no save dialog"
  local dialog_id sx sy left top
  read -r dialog_id sx sy _ <<<"$dialog"
  read -r left top <<<"$(frame_offset "$dialog_id")"
  [ "$sx" = "$left" ] && [ "$sy" = "$top" ] || fail "the save dialog is at ($sx, $sy), not in the screen's corner"
  settled_window "$dialog_id"
  # A click into its name field, as a user would: under a window manager it
  # reaches the field only when the dialog is above the drawing window. A
  # bare server gives no focus for a click.
  xdotool mousemove --window "$dialog_id" 300 26 click 1
  if [ -n "${WYRLE_E2E_WM:-}" ]; then
    wait_for 5 has_focus "$dialog_id" || fail "the click gave the save dialog no focus"
  else
    focus_window "$dialog_id"
  fi
  xdotool key ctrl+a
  type_text "$path" 10
  # The selector reads the folder typed into it; a Return before that is lost.
  settled_window "$dialog_id"
  xdotool key Return
  wait_for 5 test -s "$path" || fail "Save wrote no file $path"
  wait_gone "^$dialog_id " || fail "the save dialog stayed up after the save"
}

# Ctrl+O in the drawing window, the path typed into the Open dialog, OK.
open_picture() {
  local path="$1" open open_id ox oy
  focus_window "$draw_id"
  xdotool key ctrl+o
  open="$(wait_window '"Open"$' 10)" || fail "Ctrl+O showed no Open dialog"
  open_id="${open%% *}"
  open="$(settled_line "$open_id")" || fail "the Open dialog does not keep its place"
  read -r _ ox oy _ <<<"$open"
  focus_window "$open_id"
  settled_window "$open_id"
  # The path text, right of "Open picture:".
  xdotool mousemove $((ox + 250)) $((oy + 74)) click 1
  xdotool key ctrl+a
  type_text "$path" 10
  # OK, left in the bottom row.
  xdotool mousemove $((ox + 202)) $((oy + 164)) click 1
  wait_gone "^$open_id " || fail "the Open dialog stayed up after OK"
}

# Chooses the Help menu's item `n` counted from the bottom (1 About Wyrle,
# 2 Wyrle Online..., 3 Preferences..., 4 Help) in the tool window `tool_id`.
help_item() {
  focus_window "$tool_id"
  open_menu
  # The bar wraps round from File to Help, its last menu.
  next_menu Left
  local i
  for i in $(seq "$1"); do
    xdotool key Up
    pause 0.02
  done
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
opened_at_least() { [ "$(opened_count)" -ge "$1" ]; }

# Waits for the drawing window to show its artwork and stay put (a window
# manager moves it after it is mapped, and the engine docks it); sets draw
# (its line), draw_id, dx and dy.
settled_drawing_window() {
  local last="" now i
  draw="$(wait_window ' 960 [0-9]+ "wyrle' "${1:-20}")" || fail "no drawing window"
  draw_id="${draw%% *}"
  for i in $(seq 30); do
    now="$(window_line "$draw_id")"
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
  local tx ty
  read -r _ tx ty _ <<<"$(window_line "$tool_id")"
  xdotool mousemove --window "$tool_id" 151 61 click 1
  wait_for 5 button_on $((tx + 151)) $((ty + 61)) || fail "the Gradient button did not light up"
  xdotool mousemove --window "$tool_id" 38 70 click 1
  gradient="$(wait_window '"Gradient Tool"' 10)" || fail "the swatch showed no Gradient Tool"
  read -r gradient_id gx gy _ _ _ <<<"$gradient"
  settled_window "$gradient_id"
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

# Starts the program and waits for both windows, the drawing window settled
# and the screen still; sets tool_id and, as settled_drawing_window, draw,
# draw_id, dx and dy.
wyrle_start_windows() {
  wyrle_start "$@"
  local tool
  tool="$(wait_window ' "Wyrle"$' 30)" || fail "no tool window"
  tool_id="${tool%% *}"
  settled_drawing_window 30
  settled_shot "$SHOTS/started.png"
}

# drag_path [-b BUTTON] [-u CHECK] [-k] SECONDS X0 Y0 X1 Y1 ...: presses
# BUTTON (1) at the first point, moves through the points, which are equally
# far apart in time, and lets go at the last one SECONDS later. Each move
# goes where the clock says the pointer is by then, so a slow xdotool makes
# fewer moves, not a longer drag. With -u CHECK it lets go where it is as
# soon as CHECK succeeds; with -k it keeps the button down at the end.
DRAG_MS=0
drag_path() {
  local button=1 until="" keep=""
  while [ $# -gt 0 ]; do
    case "$1" in
      -b) button="$2"; shift 2 ;;
      -u) until="$2"; shift 2 ;;
      -k) keep=1; shift ;;
      *) break ;;
    esac
  done
  local limit
  to_ms limit "$1"
  shift
  local p=("$@") n=$(($# / 2))
  [ "$n" -ge 2 ] && [ "$limit" -gt 0 ] || fail "drag_path needs a length and two points"
  local start now t u k f x y moves=0 asked=0 ended=""
  xdotool mousemove "${p[0]}" "${p[1]}" mousedown "$button"
  clock_us start
  while :; do
    clock_us now
    t=$(((now - start) / 1000))
    [ "$t" -ge "$limit" ] && break
    # Thousandths of the way through the segments.
    u=$((t * (n - 1) * 1000 / limit))
    k=$((u / 1000))
    f=$((u % 1000))
    x=$((p[2 * k] + (p[2 * k + 2] - p[2 * k]) * f / 1000))
    y=$((p[2 * k + 1] + (p[2 * k + 3] - p[2 * k + 1]) * f / 1000))
    xdotool mousemove "$x" "$y"
    moves=$((moves + 1))
    if [ -n "$until" ] && [ $((t - asked)) -ge 200 ]; then
      asked="$t"
      "$until" && { ended=1; break; }
    fi
    pause 0.02
  done
  [ -n "$ended" ] || xdotool mousemove "${p[2 * n - 2]}" "${p[2 * n - 1]}"
  [ -n "$keep" ] || xdotool mouseup "$button"
  clock_us now
  DRAG_MS=$(((now - start) / 1000))
  echo "drag: $DRAG_MS ms on the clock (${until:+at most }$limit ms asked), $moves moves, input ${WYRLE_E2E_INPUT:-at its own speed}"
}

# A left drag from ($1, $2) to ($3, $4) in the drawing window, whose client
# origin the test keeps in dx and dy, lasting $5 seconds (1.2). The brush
# chain follows the pointer even between strokes: it gets a moment to gather
# at the start (the program's own time, not a pause between inputs).
drag_line() {
  xdotool mousemove $((dx + $1)) $((dy + $2))
  sleep 1
  drag_path "${5:-1.2}" $((dx + $1)) $((dy + $2)) $((dx + $3)) $((dy + $4))
}

# Moves the drawing window ($1) to about 200 pixels right of the tool window's
# client origin ($2, $3) and a little above it: the engine docks it beside
# the tool window within a second. $4 starts the messages.
expect_dock_when_moved() {
  local id="$1" tx="$2" ty="$3" what="${4:-}" x="" i
  xdotool windowmove "$id" $((tx + 210)) $((ty - 10))
  for i in $(seq 20); do
    sleep 0.05
    read -r _ x _ <<<"$(window_line "$id")"
    if [ $((x - tx)) -ge 190 ] && [ $((x - tx)) -le 206 ]; then
      echo "${what}moved beside the tool window, the drawing window docked $((x - tx)) px right of it within $((i * 50)) ms"
      return 0
    fi
  done
  fail "${what}moved beside the tool window, the drawing window did not dock (at x $x, tool window at $tx)"
}
