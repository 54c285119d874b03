#!/usr/bin/env bash
# Installs the cross compilers, Wine and the test display when they are missing.
# Idempotent: returns at once when every tool is already there.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev \
         wine wine64 wine32:i386 fonts-wine fonts-liberation fonts-wqy-microhei libxrender1 libxrender1:i386 \
         libxext6 libxext6:i386 libxcursor1 libxrandr2 libxi6 libxfixes3 \
         xvfb xauth cmake ninja-build googletest; do
  have_pkg "$p" || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=
if [ "$(id -u)" -ne 0 ]; then
  have_cmd sudo || { echo "install-deps: need root or sudo to install: ${need[*]}" >&2; exit 1; }
  SUDO=sudo
fi

echo "install-deps: installing ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
