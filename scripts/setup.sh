#!/bin/sh
# Installs the Debian 12 packages Lintaro needs.
# usage: scripts/setup.sh          what building Lintaro and running its window need
#        scripts/setup.sh --tests  that, and the tools the tests and CI's checks use
set -eu

# One package per line, so that adding one is a one-line change.
BUILD_PACKAGES="
  build-essential
  cmake
  pkg-config
  qt6-base-dev
  qt6-qpa-plugins
  qt6-translations-l10n
  libgl-dev
  libboost-regex-dev
  libgtest-dev
  fonts-wqy-microhei
  help2man
  python3
  liburiparser-dev
"
TEST_PACKAGES="
  chromium
  clang-14
  clang-format-14
  clang-tidy-14
  libclang-rt-14-dev
  llvm-14
  ripgrep
  pcre2-utils
  jq
  parallel
  bash-completion
  locales
  desktop-file-utils
  appstream
  lintian
  xvfb
  xauth
  xdotool
  openbox
  xclip
  imagemagick
"

case "${1:-}" in
  "") packages=$BUILD_PACKAGES ;;
  --tests) packages="$BUILD_PACKAGES $TEST_PACKAGES" ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# Skip apt entirely when everything is present, so repeated runs cost nothing.
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
