#!/usr/bin/env bash
# Installs what building and testing xpekko needs on Debian 12: the host
# compiler and test libraries, the 32- and 64-bit Windows cross compilers,
# and Wine with headless X servers for the end-to-end tests (Xvfb, and
# Xephyr in it for two monitors).  Wine's 32-bit half (wine32:i386, with
# the i386 architecture) only where this host can run 32-bit programs at
# all (scripts/wine-build.sh tries one).  Asks apt only for what is
# missing, so a second run is quick and needs no network.
set -euo pipefail

packages=(
  cmake g++ libgtest-dev googletest libgif-dev libstb-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb xserver-xephyr xauth xdotool x11-utils imagemagick fonts-ipafont-gothic
  python3 python3-pil
)
host32=0
if [ "$(bash "$(dirname "$0")/wine-build.sh" --probe)" = win32 ]; then
  host32=1
  packages+=(wine32:i386)
fi

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#packages[@]} packages present"
  exit 0
fi
echo "deps: installing ${missing[*]}"

export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: the architecture has to be known to dpkg and
# its package lists fetched before apt can find it.
if [ $host32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
