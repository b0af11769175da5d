#!/usr/bin/env bash
# One whole session of the real program, as a user has it: start, paint a few
# strokes, undo one with Ctrl+Z, save with Ctrl+S (the first save asks for a
# name), quit. It must end with code 0, with no crash or sanitizer report, and
# leave the saved picture on disk. The TSan stage of scripts/test runs it with
# the ThreadSanitizer build.
source "$(dirname "$0")/lib.sh" "$@"
command -v xdotool >/dev/null || fail "xdotool is missing"
command -v identify >/dev/null || fail "ImageMagick's identify is missing"
xvfb_start
export GSETTINGS_BACKEND=memory  # no session bus for dconf under Xvfb
SAVED="$WORK_DIR/session art.png"
# Slow builds (ThreadSanitizer) get more time for each step, and their
# slower frames a longer look before the screen counts as settled.
SLOW="${WYRLE_E2E_SLOW:-1}"
SETTLE_GAP="$(awk -v s="$SLOW" 'BEGIN { print 0.3 * s }')"

wyrle_start
wait_window ' 960 682 ' $((30 * SLOW)) >/dev/null || fail "no drawing window"
# Mapped first, then placed by the engine's set-up.
draw="$(wait_window ' 201 28 960 682 ' $((10 * SLOW)))" || fail "the drawing window was not placed"
tool="$(wait_window '"Wyrle"' $((20 * SLOW)))" || fail "no tool window"
read -r draw_id dx dy _ <<<"$draw"
tool_id="${tool%% *}"
settled_shot "$WORK_DIR/started.png"

# A drag with the left button, in pixels from the window's corner, until the
# canvas is still again. The brush chain follows the pointer between strokes
# too: it gets a moment to gather at the start, so that each stroke paints
# only along its own path.
# The canvas is looked at with the pointer right of it and the brush cursor
# hidden by the space bar.
CANVAS="800x600+$((dx + 80))+$((dy + 41))"
canvas_shot() {
  xdotool mousemove $((dx + 940)) $((dy + 665)) keydown space
  local found=0
  if [ $# = 1 ]; then
    settled_shot "$1" "$CANVAS"
  else
    shot_until "$1" "$2" "$3" "$CANVAS" $((10 * SLOW)) || found=1
  fi
  xdotool keyup space
  return "$found"
}
stroke() {
  local x=$1 y=$2
  xdotool mousemove $((dx + x)) $((dy + y))
  sleep "$SLOW"
  drag_path 0.8 $((dx + x)) $((dy + y)) $((dx + x + 180)) $((dy + y + 90))
  # On a busy machine the screen can look still while the stroke still
  # fades out; the picture is taken once it has ended.
  engine_ready
  canvas_shot "$WORK_DIR/canvas.png"
}

# Waits for a window that is neither of the program's two; prints its id.
wait_dialog() {
  local seconds="$1" i id
  for i in $(seq $((seconds * 10))); do
    id="$("$XWIN" list 2>/dev/null | awk -v a="$draw_id" -v b="$tool_id" '$1 != a && $1 != b && $4 > 200 { print $1; exit }')"
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$WYRLE_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

focus_window "$draw_id"
stroke 150 150
cp "$WORK_DIR/canvas.png" "$WORK_DIR/one_stroke.png"
stroke 250 350
engine_ready
xdotool key ctrl+z
canvas_shot same "$WORK_DIR/one_stroke.png" "$WORK_DIR/undone.png" || fail "Ctrl+Z did not take the second stroke away"
stroke 450 200
kill -0 "$WYRLE_PID" 2>/dev/null || fail "the program ended while painting"

# The first save of a new artwork asks for a name.
engine_ready
xdotool key ctrl+s
dialog="$(wait_dialog $((10 * SLOW)))" || fail "Ctrl+S in the drawing window showed no save dialog"
focus_window "$dialog"
settled_window "$dialog"
xdotool key ctrl+a
type_text "$SAVED" 15
# The selector reads the folder typed into it; a Return before that is lost.
settled_window "$dialog"
xdotool key Return
wait_for $((10 * SLOW)) test -s "$SAVED" || fail "no file after the save"
size="$(identify -format '%wx%h' "$SAVED" 2>/dev/null)"
[ "$size" = 800x600 ] || fail "the saved file is not the 800 x 600 artwork (identify says \"$size\")"

# The picture holds the two strokes that stayed and not the undone one. The
# canvas sits at (80, 41) in the window at 100 %; each stroke runs 180 x 90
# pixels from its start. Squares of 15 pixels on a stroke's path at a
# quarter, half and three quarters of the way are looked at: any pixel
# unlike the background's (a far corner's) counts as paint.
bg="$(convert "$SAVED" -format '%[pixel:p{795,595}]' info:)"
painted() {
  local x=$(($1 - 80)) y=$(($2 - 41)) k n=0
  for k in 1 2 3; do
    n=$((n + $(convert "$SAVED" -crop "15x15+$((x + 45 * k - 7))+$((y + 22 * k - 7))" +repage \
      -fill black -opaque "$bg" -fill white +opaque black -format '%[fx:int(mean*w*h+0.5)]' info:)))
  done
  echo "$n"
}
kept1="$(painted 150 150)" undone="$(painted 250 350)" kept2="$(painted 450 200)"
[ "$kept1" -gt 0 ] && [ "$kept2" -gt 0 ] || fail "a stroke that stayed is missing from the saved picture (painted pixels: $kept1, $kept2)"

[ "$undone" = 0 ] || fail "the undone stroke is in the saved picture ($undone painted pixels)"

"$XWIN" close "$tool_id"
expect_clean_end "closing the tool window"
if grep -qE "ThreadSanitizer|AddressSanitizer|LeakSanitizer|runtime error|Segmentation|Aborted|assert" "$WORK_DIR/out.txt"; then
  fail "crash, assertion or sanitizer report"
fi
echo "session: strokes ($kept1 and $kept2 pixels seen, the undone one 0), undo, save and quit ended cleanly"
