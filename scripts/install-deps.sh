#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libmp3lame-dev libmpg123-dev libsndfile1-dev libtag1-dev libebur128-dev lame
          fonts-dejavu-core
          xvfb xauth openbox xdotool x11-utils desktop-file-utils dpkg-dev file procps sox ffmpeg
          man-db zsh fish appstream lintian weston qt6-wayland parallel
          dbus at-spi2-core python3-pyatspi)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
