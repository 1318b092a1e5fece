#!/bin/sh
# Builds the Debian package from a build tree and checks it: lintian finds no error and no
# warning, the software-centre data of its files validates, it installs on this machine without
# taking over the default application for plain text, and the installed program shows its window
# under Xvfb and ends with status 0 on Esc.
# Usage: scripts/check_package.sh BUILD_DIR
set -eu
build_dir=$1
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

(cd "$build_dir" && cpack -G DEB >/dev/null)
package=$(ls "$build_dir"/lintaro_*.deb | head -n 1)
echo "lintian $package"
lintian --fail-on error,warning "$package"

work=$(mktemp -d)
dpkg-deb -x "$package" "$work/tree"
appstreamcli validate-tree --no-net "$work/tree"

echo "Installing $package"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$(realpath "$package")" >/dev/null
test -x /usr/bin/lintaro && test -x /usr/bin/lintaro-cli
test -f /usr/share/applications/lintaro.desktop
test -f /usr/share/icons/hicolor/64x64/apps/lintaro.png
# Offered for web pages, never made the default for text files.
grep -q '^text/html=.*lintaro.desktop' /usr/share/applications/mimeinfo.cache
if grep -q '^text/plain=.*lintaro.desktop' /usr/share/applications/mimeinfo.cache; then
    echo "the package registers lintaro for text/plain" >&2
    exit 1
fi

display=:97
Xvfb "$display" -screen 0 1600x1000x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
sleep 1
(cd "$work" && DISPLAY=$display QT_QPA_PLATFORM=xcb /usr/bin/lintaro) &
app_pid=$!
# The window must appear; then Esc closes it like the close box.
window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name '^Lintaro$' | head -n 1)
echo "Window $window is shown"
# Without a window manager, focus the window directly rather than asking to activate it.
DISPLAY=$display xdotool windowfocus --sync "$window" key Escape
status=0
wait "$app_pid" || status=$?
rm -rf "$work"
echo "lintaro ended with status $status"
test "$status" -eq 0
