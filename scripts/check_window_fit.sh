#!/bin/sh
# Opens the window for real under Xvfb with the Openbox window manager on screens of several
# sizes, scale factors and font sizes, and checks that the framed window lies wholly on the
# screen. Leaves a screenshot of each screen in OUT (default /tmp/lintaro-fit) to be looked at.
# usage: scripts/check_window_fit.sh [LINTARO] [OUT]   (default: build/lintaro)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/lintaro}")
out=${2:-/tmp/lintaro-fit}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/examples/links.html" "$work/"

cat >"$work/shoot.sh" <<'SHOOT'
#!/bin/sh
# SCREEN_SIZE, SCALE, FONT_DPI, HIGHDPI and PICTURE come from the environment; $1 program, $2 page
set -eu
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=${HIGHDPI:-1} QT_SCALE_FACTOR=$SCALE QT_FONT_DPI=$FONT_DPI "$1" "$2" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintaro$' | head -n 1)
sleep 2
info=$(xwininfo -id "$window")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
client_x=$(field "Absolute upper-left X") client_y=$(field "Absolute upper-left Y")
client_w=$(field "Width") client_h=$(field "Height")
# left, right, top, bottom
set -- $(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
screen_w=${SCREEN_SIZE%x*} screen_h=${SCREEN_SIZE#*x}
outer_x=$((client_x - $1)) outer_y=$((client_y - $3))
outer_r=$((client_x + client_w + $2)) outer_b=$((client_y + client_h + $4))
echo "screen $SCREEN_SIZE scale $SCALE font dpi $FONT_DPI: client ${client_w}x${client_h}" \
  "at $client_x,$client_y; frame $outer_x,$outer_y to $outer_r,$outer_b"
import -window root "$PICTURE"
kill $app $wm
if [ $outer_x -lt 0 ] || [ $outer_y -lt 0 ] || [ $outer_r -gt "$screen_w" ] ||
  [ $outer_b -gt "$screen_h" ]; then
  echo "OFF SCREEN"
  exit 1
fi
SHOOT
chmod +x "$work/shoot.sh"

status=0
# screen:scale:font DPI. A font DPI of 192, with Qt's own scaling off, doubles every font that
# is not sized in pixels: a large desktop font.
for case in 800x600:1:96 1024x768:1:96 1280x720:1:96 1920x1080:1:96 1920x1080:1.5:96 \
  1920x1080:2:96 1024x768:1:192; do
  screen=${case%%:*} rest=${case#*:}
  scale=${rest%:*} dpi=${rest#*:}
  picture="$out/fit-$screen-$scale-$dpi.png"
  highdpi=1
  if [ "$dpi" != 96 ]; then highdpi=0; fi
  SCREEN_SIZE=$screen SCALE=$scale FONT_DPI=$dpi HIGHDPI=$highdpi PICTURE=$picture \
    xvfb-run -a -s "-screen 0 ${screen}x24" "$work/shoot.sh" "$program" "$work/links.html" ||
    status=1
done
exit $status
