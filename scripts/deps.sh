#!/usr/bin/env bash
# Installs what building and testing xpekko needs on Debian 12: the host
# compiler and test libraries, the 32-bit Windows cross compiler, and Wine
# with a headless X server for the end-to-end tests.  Asks apt only for what
# is missing, so a second run is quick and needs no network.
set -euo pipefail

packages=(
  cmake g++ libgtest-dev googletest libgif-dev libstb-dev
  g++-mingw-w64-i686-posix
  wine wine32:i386 fonts-wine
  xvfb xauth xdotool x11-utils imagemagick fonts-ipafont-gothic
  python3 python3-pil
)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
