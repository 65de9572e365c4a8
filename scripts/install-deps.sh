#!/bin/sh
# Installs the Debian packages the build and the tests need, only those that
# are missing. Safe to run again.
set -eu
packages="cmake make g++ googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  wine wine64 fonts-wine xvfb xcompmgr x11-apps imagemagick xdotool
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  zlib1g-dev liblzma-dev clang python3 libtomlplusplus-dev fonts-dejavu-core"
missing=
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
