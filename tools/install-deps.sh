#!/bin/sh
# Installs the Debian packages the game, its tests and its tools need.
# Installs nothing when everything is there already.
set -e
PKGS="g++ cmake make pkg-config python3 xvfb xauth libgl1-mesa-dri libglfw3-dev libglew-dev
libtinyxml-dev libsdl2-mixer-dev libstb-dev libgtest-dev libbenchmark-dev libfreetype-dev
fonts-dejavu-core xdotool x11-xkb-utils imagemagick sox libsox-fmt-mp3 lame clang libclang-rt-14-dev
dpkg-dev file desktop-file-utils appstream lintian man-db valgrind"
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
