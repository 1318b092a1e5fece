#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Lintaro need.
set -eu
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
PACKAGES="build-essential cmake pkg-config qt6-base-dev libgl-dev libboost-regex-dev libgtest-dev \
  qt6-translations-l10n xvfb xauth xdotool fonts-wqy-microhei imagemagick xclip ripgrep chromium desktop-file-utils dpkg-dev \
  clang-14 libclang-rt-14-dev llvm-14"
# Skip apt entirely when everything is present, so repeated runs cost nothing.
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
