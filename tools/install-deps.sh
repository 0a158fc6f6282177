#!/bin/sh
# Installs the Debian packages Tumbix needs. Installs nothing when everything
# is there already.
#   tools/install-deps.sh          building and playing (make run, make build, make package)
#   tools/install-deps.sh --test   the above and everything the tests use (make test)
set -e
# building the game and its level tools, playing, the headless demo
# (Xvfb, xdotool, ImageMagick for its screenshots) and the Debian packages
PLAY="g++ cmake make pkg-config python3 libgl1-mesa-dri libglfw3-dev libglew-dev libtinyxml-dev
libsdl2-mixer-dev libstb-dev xvfb xauth xdotool imagemagick dpkg-dev file"
# unit and e2e tests, benchmarks, the package validators, the sanitizer and
# fuzz builds, content generation
TEST="libgtest-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core x11-xkb-utils x11-utils sox
libsox-fmt-mp3 lame clang libclang-rt-14-dev desktop-file-utils appstream lintian man-db valgrind git"
case "$1" in
  "") PKGS="$PLAY" ;;
  --test) PKGS="$PLAY $TEST" ;;
  *) echo "usage: tools/install-deps.sh [--test]" >&2; exit 2 ;;
esac
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
