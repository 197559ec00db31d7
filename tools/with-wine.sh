#!/bin/sh
# Runs a command with what the Windows programs need: an X display (a virtual
# one when there is none), an 8-bit palette screen for the palette tests,
# and one persistent wineserver for each of the build's Wine prefixes, all
# ended afterwards.
#   tools/with-wine.sh BUILD_DIR COMMAND...
set -eu
build=$(cd "$1" && pwd)
shift
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
servers=""
cleanup() {
    for prefix in "$build/wineprefix" "$build/wineprefix-palette"; do
        WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    [ -n "$servers" ] && kill $servers 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# Starts Xvfb on a free display with the given screen; sets $started.
start_xvfb() {
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
    servers="$servers $!"
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    started=":$n"
}

if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 1024x768x24
    export DISPLAY="$started"
fi
start_xvfb 800x600x8
export ORB_PALETTE_DISPLAY="$started"

for runner in wine-run wine-run-palette; do
    prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$build/$runner")
    mkdir -p "$prefix"
    # A server still running from the build keeps serving; -p then refuses.
    WINEPREFIX="$prefix" wineserver -p || true
    # The first program creates the prefix, before any test is timed.
    "$build/$runner" cmd /c exit 0 >/dev/null 2>&1 || true
done
"$@"
