#!/bin/bash
# Installs the Debian packages the builds and tests need, when missing.
set -e
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
packages=(cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev llvm
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 util-linux
          libbenchmark-dev ccache libpng-dev xfonts-base xfonts-wqy
          xvfb imagemagick fonts-wqy-microhei nsis)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
echo "installing: ${need[*]}"
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
