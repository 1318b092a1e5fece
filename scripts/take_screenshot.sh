#!/bin/sh
# Takes the README's picture of the window, docs/window.png: the window under Xvfb with the
# example page loaded, as 8-bit PNG.
# usage: scripts/take_screenshot.sh [LINTARO]   (default: build/lintaro)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/lintaro}")
# A fixed, ordinary-looking path for the drop zone's caption.
work=/tmp/lintaro-screenshot
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Downloads"
cp "$root/examples/links.html" "$work/Downloads/"
cat >"$work/shoot.sh" <<SHOOT
#!/bin/sh
set -eu
cd "$work/Downloads"
QT_QPA_PLATFORM=xcb "$program" "$work/Downloads/links.html" &
pid=\$!
window=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintaro\$' | head -n 1)
sleep 1
import -window "\$window" "$work/window.png"
kill \$pid
SHOOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 1600x1000x24" "$work/shoot.sh"
convert "$work/window.png" -strip -colors 128 "PNG8:$root/docs/window.png"
echo "wrote docs/window.png"
