#!/bin/sh
# One session of the real program on a virtual X display: draw a circular
# section, run the solver, cancel a new command with Escape three times,
# change the mesh size to 300 and back to 100, and leave through the exit
# panel. Every check compares parts of screenshots taken earlier in the same
# session, never a stored picture, so fonts and styles cannot make it drift.
#
# Usage: sh scripts/smoke.sh PATH/TO/quorvane
# Needs Xvfb (xvfb), xdotool, ImageMagick (import, convert, compare) and
# fonts-dejavu-core. The program runs from a copy in a temporary folder, so
# its Pref.PRF and WorkDir.DIR never touch the build folder.
set -u

say() { echo "smoke: $*"; }

if [ $# -ne 1 ] || [ ! -x "$1" ] || [ -d "$1" ]; then
  echo "usage: sh scripts/smoke.sh PATH/TO/quorvane (an executable program)" >&2
  exit 2
fi
BIN_DIR=$(cd "$(dirname "$1")" && pwd)
BIN="$BIN_DIR/$(basename "$1")"
for tool in Xvfb xdotool import convert compare timeout od; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "smoke: FAIL: '$tool' is missing (Debian packages: xvfb xdotool imagemagick)" >&2
    exit 2
  fi
done

START_TIME=$(date +%s)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-smoke.XXXXXX")
RUN="$WORK/program"
SHOTS="$WORK/shots"
mkdir -p "$RUN/Data" "$SHOTS" "$WORK/home" "$WORK/config" "$WORK/runtime"
chmod 700 "$WORK/runtime"
XVFB_PID=""
APP_PID=""
FAILURES=0

cleanup() {
  if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
    kill "$APP_PID" 2>/dev/null
    sleep 0.3
    kill -9 "$APP_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null
  fi
  if [ "$FAILURES" -eq 0 ]; then
    rm -rf "$WORK"
  else
    echo "smoke: screenshots and the program's output are kept in $WORK" >&2
  fi
}
trap cleanup EXIT
trap 'FAILURES=$((FAILURES + 1)); echo "smoke: FAIL: interrupted" >&2; exit 1' INT TERM HUP

# A failed check that leaves the session usable: noted, the session goes on.
fail() {
  FAILURES=$((FAILURES + 1))
  echo "smoke: FAIL: $*" >&2
}
# A failed check after which the session cannot go on.
abort() {
  fail "$@"
  if [ -s "$WORK/program.log" ]; then
    echo "smoke: the program's output:" >&2
    tail -n 20 "$WORK/program.log" >&2
  fi
  say "$FAILURES check(s) failed after $(($(date +%s) - START_TIME)) s"
  exit 1
}

# ---------------------------------------------------------------- the program's folder

cp "$BIN" "$RUN/quorvane"
for f in Help Tutorial; do
  [ -d "$BIN_DIR/$f" ] && cp -R "$BIN_DIR/$f" "$RUN/"
done
# Preferences: dots, grid shown, normal density, no start-up tip, tip 0,
# exit panel 7 (so this exit shows panel 6 and stores 6).
printf '\000\000\000\000\001\000\000\000\025\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\007\000\000\000' \
  >"$RUN/Pref.PRF"
# "A": no data folder chosen yet; the program makes it its own Data folder.
printf 'A' >"$RUN/WorkDir.DIR"

# ---------------------------------------------------------------- display and program

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
i=0
while [ ! -s "$WORK/display" ]; do
  i=$((i + 1))
  [ $i -gt 100 ] && abort "the virtual X server did not start: $(tail -n 3 "$WORK/xvfb.log")"
  kill -0 "$XVFB_PID" 2>/dev/null || abort "the virtual X server ended: $(tail -n 3 "$WORK/xvfb.log")"
  sleep 0.1
done
DISPLAY=":$(head -n 1 "$WORK/display")"
export DISPLAY
unset XAUTHORITY

(
  cd "$RUN" || exit 1
  exec env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime" \
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0 QT_ACCESSIBILITY=0 \
    ./quorvane
) >"$WORK/program.log" 2>&1 &
APP_PID=$!

alive() { kill -0 "$APP_PID" 2>/dev/null; }

WID=""
i=0
while [ -z "$WID" ]; do
  i=$((i + 1))
  alive || abort "the program ended during start-up"
  [ $i -gt 150 ] && abort "no main window appeared within 15 s"
  sleep 0.1
  WID=$(timeout 5 xdotool search --onlyvisible --name '^Quorvane \[' 2>/dev/null | head -n 1)
done
timeout 5 xdotool windowfocus --sync "$WID" || abort "could not give the main window the keyboard focus"
eval "$(timeout 5 xdotool getwindowgeometry --shell "$WID")"
WIN_X=$X
WIN_Y=$Y
set -- $(timeout 5 xdotool getdisplaygeometry)
SCREEN_W=$1
SCREEN_H=$2

# ---------------------------------------------------------------- screenshots

shot() {
  [ $(($(date +%s) - START_TIME)) -gt 90 ] && abort "the session took longer than 90 s"
  import -window root "$SHOTS/$1.png" 2>>"$WORK/import.log" || abort "screenshot '$1' failed"
}

# Number of pixels that differ between two screenshots inside a region WxH+X+Y
# ("?" when they cannot be compared, which no check takes for equal).
differing() {
  ae=$(compare -metric AE "$SHOTS/$1.png[$3]" "$SHOTS/$2.png[$3]" null: 2>&1)
  case ${ae%% *} in
    '' | *[!0-9]*)
      echo "smoke: could not compare '$1' with '$2': $ae" >&2
      echo "?"
      return
      ;;
  esac
  echo "${ae%% *}"
}

# Shoots NAME until every region in REGIONS is the same as in REF ("same") or
# until any differs ("differ"), at most TRIES times; returns 1 when it never was.
wait_for() {
  wf_name=$1 wf_ref=$2 wf_want=$3 wf_tries=$4 wf_regions=$5
  wf_n=0
  while :; do
    shot "$wf_name"
    alive || abort "the program ended unexpectedly"
    wf_same=1
    for wf_r in $wf_regions; do
      [ "$(differing "$wf_name" "$wf_ref" "$wf_r")" = 0 ] || wf_same=0
    done
    [ "$wf_want" = same ] && [ $wf_same = 1 ] && return 0
    [ "$wf_want" = differ ] && [ $wf_same = 0 ] && return 0
    wf_n=$((wf_n + 1))
    [ $wf_n -ge "$wf_tries" ] && return 1
    sleep 0.2
  done
}

# Shoots NAME until two screenshots in a row are equal (the window has settled).
settle() {
  shot "$1.prev"
  st_n=0
  while :; do
    sleep 0.2
    shot "$1"
    [ "$(differing "$1" "$1.prev" "${SCREEN_W}x${SCREEN_H}+0+0")" = 0 ] && return 0
    mv "$SHOTS/$1.png" "$SHOTS/$1.prev.png"
    st_n=$((st_n + 1))
    [ $st_n -ge 40 ] && abort "the window did not settle within 8 s ($1)"
  done
}

# Start and end of the longest run of pixels along a one-pixel line that are
# not the window's silver background.
longest_run() {
  convert "$1[$2]" -depth 8 txt:- 2>/dev/null | awk -v axis="$3" -F'[,: ]+' '
    BEGIN { s = -1; bs = 0; be = -1 }
    NR == 1 { next }
    {
      p = (axis == "x") ? $1 : $2
      if (index($0, "#C0C0C0") == 0) { if (s < 0) s = p; e = p }
      else { if (s >= 0 && e - s > be - bs) { bs = s; be = e }; s = -1 }
    }
    END { if (s >= 0 && e - s > be - bs) { bs = s; be = e }; print bs, be }'
}

# Positions of the teal centre-line pixels along a one-pixel line.
teal_at() {
  convert "$1[$2]" -depth 8 txt:- 2>/dev/null | awk -v axis="$3" -v base="$4" -F'[,: ]+' '
    NR > 1 && index($0, "#008080") { printf "%s%d", sep, base + ((axis == "x") ? $1 : $2); sep = "," }
    END { print "" }'
}

# Number of pure red pixels (the selected object) inside a region.
red_pixels() {
  convert "$SHOTS/$1.png[$2]" -alpha off -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:round(mean*w*h)]' info:
}

# Presses a key that opens a menu or moves in one, and waits until the screen
# shows it, so the next key reaches the menu.
menu_key() {
  shot menu-before
  xdotool key "$1"
  wait_for menu-after menu-before differ 15 "${SCREEN_W}x${SCREEN_H}+0+0" ||
    abort "pressing $1 ($2) changed nothing on the screen"
}
park() { xdotool mousemove "$PARK_X" "$PARK_Y"; }

# ---------------------------------------------------------------- where things are

settle start
# The view is the large white square; find it along a row and a column.
set -- $(longest_run "$SHOTS/start.png" "${SCREEN_W}x1+0+$((SCREEN_H / 2))" x)
VIEW_X0=$1 VIEW_X1=$2
set -- $(longest_run "$SHOTS/start.png" "1x${SCREEN_H}+$((VIEW_X1 - 10))+0" y)
VIEW_Y0=$1 VIEW_Y1=$2
VIEW_W=$((VIEW_X1 - VIEW_X0 + 1))
VIEW_H=$((VIEW_Y1 - VIEW_Y0 + 1))
if [ $VIEW_W -lt 200 ] || [ $((VIEW_W - VIEW_H)) -gt 2 ] || [ $((VIEW_H - VIEW_W)) -gt 2 ]; then
  abort "no square mesh view found on the screen (found ${VIEW_W}x${VIEW_H}+$VIEW_X0+$VIEW_Y0)"
fi
VIEW="${VIEW_W}x${VIEW_H}+$VIEW_X0+$VIEW_Y0"
# The tool bar (23 pixels high) sits right above the view, the status bar
# below it at the foot of the window.
TOOLBAR_Y=$((VIEW_Y0 - 23))
TOOLBAR="$((VIEW_X1 + 1))x23+0+$TOOLBAR_Y"
STATUS="${SCREEN_W}x$((WIN_Y + HEIGHT - VIEW_Y1 - 1))+0+$((VIEW_Y1 + 1))"
# Run is the last speed button: twenty buttons 23 pixels wide from x = 2 with
# four 8-pixel gaps between the groups.
RUN_X=$((WIN_X + 2 + 19 * 23 + 4 * 8 + 11))
RUN_Y=$((TOOLBAR_Y + 11))
# The pointer rests right of the view, away from the view and the buttons.
PARK_X=$((SCREEN_W - 5))
PARK_Y=$((VIEW_Y0 + VIEW_H / 2))
say "view $VIEW, status bar $STATUS"

centre_lines() {
  v=$(teal_at "$SHOTS/$1.png" "${VIEW_W}x1+$VIEW_X0+$((VIEW_Y0 + VIEW_H / 8))" x "$VIEW_X0")
  h=$(teal_at "$SHOTS/$1.png" "1x${VIEW_H}+$((VIEW_X0 + VIEW_W / 8))+$VIEW_Y0" y "$VIEW_Y0")
  echo "vertical centre line at x=${v:-none}, horizontal at y=${h:-none}"
}

# ---------------------------------------------------------------- a circular section

menu_key alt+e "the Edit menu"
xdotool key c
wait_for circle-started start differ 15 "$STATUS" ||
  abort "Edit > Add Circle showed no prompt in the status bar"
CX=$((VIEW_X0 + VIEW_W * 3 / 10))
CY=$((VIEW_Y0 + VIEW_H * 35 / 100))
R=$((VIEW_W / 12))
xdotool mousemove "$CX" "$CY"
sleep 0.2
xdotool click 1
sleep 0.2
for step in 1 2 3 4; do
  xdotool mousemove "$((CX + R * step / 4))" "$CY"
  sleep 0.1
done
xdotool click 1
sleep 0.2
park
settle circle
[ "$(differing circle start "$VIEW")" != 0 ] || abort "clicking a centre and a radius drew no circle on the view"
[ "$(red_pixels circle "$VIEW")" -gt 50 ] ||
  abort "the new circular section is not drawn red (selected): the second click did not complete it"

# ---------------------------------------------------------------- run

xdotool mousemove "$RUN_X" "$RUN_Y" click 1 mousemove "$PARK_X" "$PARK_Y"
if wait_for ran circle differ 100 "$VIEW"; then
  settle ran
  alive || abort "the program ended during the run"
else
  fail "the Run speed button at ($RUN_X, $RUN_Y) drew no flow lines within 20 s"
  settle ran
fi

# ---------------------------------------------------------------- Escape, mesh size

# Starts Add Rectangle from the Edit menu and cancels it with Escape: the
# prompt must appear, and after Escape the status bar and the tool bar must be
# as they were before (the prompt gone, the commands unlocked).
escape_once() {
  en=$1 before=$2
  menu_key alt+e "the Edit menu"
  xdotool key r
  wait_for "rect$en" "$before" differ 15 "$STATUS" ||
    abort "Edit > Add Rectangle (command $en) showed no prompt in the status bar: are the commands still locked?"
  settle "rect$en"
  [ "$(differing "rect$en" "$before" "$TOOLBAR")" != 0 ] ||
    fail "the speed buttons stayed enabled while Add Rectangle (command $en) was under way"
  xdotool key Escape
  if ! wait_for "escaped$en" "$before" same 10 "$STATUS $TOOLBAR"; then
    what=""
    [ "$(differing "escaped$en" "$before" "$STATUS")" = 0 ] || what="the status bar still shows the command's prompt"
    [ "$(differing "escaped$en" "$before" "$TOOLBAR")" = 0 ] || what="${what:+$what, }the speed buttons stay locked"
    abort "Escape number $en did not cancel Add Rectangle: $what"
  fi
  settle "escaped$en"
}

escape_once 1 ran

# The view after 100 -> 300 -> 100 must be the view before, pixel for pixel:
# same objects, same mesh, same place on the screen.
menu_key alt+t "the Tools menu"
menu_key m "Tools > Mesh Size"
menu_key Down "Mesh Size > 200 X 200"
menu_key Down "Mesh Size > 300 X 300"
xdotool key Return
if wait_for mesh300 escaped1 differ 15 "$VIEW"; then
  settle mesh300
  menu_key alt+t "the Tools menu"
  menu_key m "Tools > Mesh Size, on 100 X 100"
  xdotool key Return
  if ! wait_for mesh100 escaped1 same 15 "$VIEW"; then
    settle mesh100
    fail "after Tools > Mesh Size 300 X 300 and back to 100 X 100 the view differs from before" \
      "in $(differing mesh100 escaped1 "$VIEW") pixels; before: $(centre_lines escaped1); after: $(centre_lines mesh100)"
  fi
else
  fail "Tools > Mesh Size > 300 X 300 did not change the view"
fi
settle mesh100

escape_once 2 mesh100
[ "$(differing escaped2 escaped1 "$VIEW")" = 0 ] ||
  fail "the view after the second Escape differs from the view after the first in $(differing escaped2 escaped1 "$VIEW") pixels"
escape_once 3 escaped2
[ "$(differing escaped3 escaped1 "$VIEW")" = 0 ] ||
  fail "the view after the third Escape differs from the view after the first in $(differing escaped3 escaped1 "$VIEW") pixels"

# ---------------------------------------------------------------- exit

settle before-exit
menu_key alt+f "the File menu"
xdotool key e
# The circle is unsaved, so the program must ask first; answer No.
BOX=""
i=0
while [ -z "$BOX" ]; do
  i=$((i + 1))
  [ $i -gt 30 ] && abort "File > Exit asked no save question although the drawing has unsaved changes"
  alive || abort "the program ended at File > Exit before asking to save the changes"
  sleep 0.1
  BOX=$(timeout 5 xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n 1)
done
timeout 5 xdotool windowfocus --sync "$BOX" || true
sleep 0.2
xdotool key alt+n
i=0
while timeout 5 xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1; do
  i=$((i + 1))
  [ $i -gt 30 ] && abort "the save question did not close on No"
  sleep 0.1
done
park
settle exit-panel
alive || abort "the program ended at File > Exit without showing the exit panel"

# The exit panel (495 x 375) is what changed above the status bar.
CLIENT="${SCREEN_W}x$((VIEW_Y1 + 1 - TOOLBAR_Y))+0+$TOOLBAR_Y"
compare "$SHOTS/before-exit.png[$CLIENT]" "$SHOTS/exit-panel.png[$CLIENT]" -compose src \
  -highlight-color white -lowlight-color black "$SHOTS/exit-diff.png" 2>/dev/null
BOX_GEOMETRY=$(convert "$SHOTS/exit-diff.png" +repage -format '%@' info:)
PANEL_W=${BOX_GEOMETRY%%x*}
rest=${BOX_GEOMETRY#*x}
PANEL_H=${rest%%+*}
rest=${rest#*+}
PANEL_X=${rest%%+*}
PANEL_Y=$((${rest#*+} + TOOLBAR_Y))
if [ $((PANEL_W - 495)) -gt 4 ] || [ $((495 - PANEL_W)) -gt 4 ] ||
  [ $((PANEL_H - 375)) -gt 4 ] || [ $((375 - PANEL_H)) -gt 4 ]; then
  abort "no exit panel appeared after File > Exit (the area that changed is $BOX_GEOMETRY)"
fi
# Its Exit button: 90 x 26 at (380, 300) inside the inner frame at (4, 4).
xdotool mousemove "$((PANEL_X + 4 + 380 + 45))" "$((PANEL_Y + 4 + 300 + 13))" click 1
i=0
while alive; do
  i=$((i + 1))
  [ $i -gt 150 ] && abort "the program did not end within 15 s of the exit panel's Exit button"
  sleep 0.1
done
wait "$APP_PID"
STATUS_CODE=$?
APP_PID=""
[ "$STATUS_CODE" = 0 ] || fail "the program ended with status $STATUS_CODE"

# The exit wrote the preferences: tip number advanced to 1, exit panel 6.
PREF=$(od -An -v -tu1 "$RUN/Pref.PRF" | tr -s ' \n' ' ')
[ "$PREF" = " 0 0 0 0 1 0 0 0 21 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 6 0 0 0 " ] ||
  fail "Pref.PRF after the exit holds$PREF instead of 0 1 21 0 0 1 6 (little-endian int32)"
[ "$(cat "$RUN/WorkDir.DIR")" = "$RUN/Data" ] ||
  fail "WorkDir.DIR after the exit holds '$(cat "$RUN/WorkDir.DIR")' instead of '$RUN/Data'"

ELAPSED=$(($(date +%s) - START_TIME))
if [ "$FAILURES" -ne 0 ]; then
  say "$FAILURES check(s) failed after $ELAPSED s"
  exit 1
fi
say "passed in $ELAPSED s"
exit 0
