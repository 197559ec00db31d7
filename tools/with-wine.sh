#!/bin/sh
# Runs a command with what the Windows programs need: an X display (a virtual
# one when there is none) and one persistent wineserver for the build's own
# prefix, both ended afterwards.
#   tools/with-wine.sh BUILD_DIR COMMAND...
set -eu
build=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb=""
cleanup() {
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
if [ -z "${DISPLAY:-}" ]; then
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
fi
mkdir -p "$WINEPREFIX"
wineserver -p
# The first program creates the prefix, before any test is timed.
"$build/wine-run" cmd /c exit 0 >/dev/null 2>&1 || true
"$@"
