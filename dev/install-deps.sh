#!/bin/sh
# Installs the Debian packages the build, the tests, the benchmarks and the
# release need, when any is missing. Needs root (or sudo). The 32-bit Wine
# loader comes from Debian's i386 architecture, added when it is not there.
set -eu
packages="cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386
xvfb xdotool imagemagick clang libclang-rt-14-dev libwine-dev nsis zip unzip python3
libx11-dev libxtst-dev libxdamage-dev twm x11-utils"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
