#!/bin/sh
# Runs a command with what the Windows programs need: an X display (a virtual
# one when there is none), an 8-bit palette screen for the palette tests,
# and one persistent wineserver for each of the build's Wine prefixes, all
# ended afterwards.
#   dev/with-wine.sh BUILD_DIR COMMAND...
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
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

. "$root/dev/xvfb.sh"
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb -screen 0 1024x768x24
    servers="$servers $xvfb_pid"
    export DISPLAY="$xvfb_display"
fi
start_xvfb -screen 0 800x600x8
servers="$servers $xvfb_pid"
export ORB_PALETTE_DISPLAY="$xvfb_display"

for runner in wine-run wine-run-palette; do
    prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$build/$runner")
    mkdir -p "$prefix"
    # A server still running from the build keeps serving; -p then refuses.
    WINEPREFIX="$prefix" wineserver -p || true
    # The first program creates the prefix, before any test starts: a
    # prefix that cannot be made stops the run here, where its cause is.
    "$build/$runner" cmd /c exit 0 >/dev/null || { echo "with-wine: no working Wine prefix from $build/$runner" >&2; exit 1; }
done
"$@"
