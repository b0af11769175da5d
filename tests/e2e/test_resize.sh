#!/usr/bin/env bash
# The engine starts with its default canvas centred in the drawing window,
# and follows a resize of the window: the canvas is centred again and the
# layer panel moves to the new right edge.
source "$(dirname "$0")/lib.sh" "$@"
xvfb_start
wyrle_start
wait_window ' 960 682 ' 20 >/dev/null || fail "no drawing window"
line="$(wait_window ' 201 28 960 682 "wyrleArtwork' 10)" || fail "the default artwork did not open"
id="${line%% *}"

# The window's inside as the screen shows it, once drawn and still.
shot() { settled_shot "$WORK_DIR/shot.png" "$(window_crop "$id")"; }
at() { convert "$WORK_DIR/shot.png" -crop "1x1+$1+$2" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:; }

# The engine draws the canvas at its first frames.
drawn() { shot; [ "$(at 480 341)" = "0,0,0" ] && [ "$(at 5 5)" != "0,0,0" ]; }
wait_for 10 drawn || fail "no canvas with a surround drawn: $(at 480 341) in the middle, $(at 5 5) in the corner"
surround="$(at 5 5)"
[ "$surround" != "0,0,0" ] || fail "no surround around the canvas"
# The 800 x 600 black canvas sits in the middle of 960 x 682.
[ "$(at 480 341)" = "0,0,0" ] || fail "canvas not in the middle: $(at 480 341)"
[ "$(at 40 341)" = "$surround" ] || fail "left of the canvas is not surround"
# The layer panel's thumbnail of the black canvas, near the right edge.
[ "$(at 925 35)" = "0,0,0" ] || fail "no layer panel at the right edge: $(at 925 35)"

xdotool windowsize "$id" 1300 800
wait_window ' 1300 800 ' 10 >/dev/null || fail "the window did not take the new size"
# The engine follows the new size at its next frame.
redrawn() { shot; [ "$(at 1265 35)" = "0,0,0" ]; }
wait_for 10 redrawn || fail "the layer panel did not follow the right edge"
[ "$(at 650 400)" = "0,0,0" ] || fail "canvas not centred after the resize"
[ "$(at 200 400)" = "$surround" ] || fail "left of the canvas is not surround after the resize"
[ "$(at 1100 400)" = "$surround" ] || fail "right of the canvas is not surround after the resize"
[ "$(at 1265 35)" = "0,0,0" ] || fail "layer panel did not follow the right edge"
[ "$(at 925 35)" = "$surround" ] || fail "layer panel left behind at the old edge"

"$XWIN" close "$id"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "canvas centred before and after the resize; panel follows the edge"
