#!/bin/sh
# Starts every program the end-to-end benchmark compares, each alone on its
# own screen of the X server in DISPLAY, runs orbprobe over them and ends
# them. bench/bench.sh runs it on a server of its own, with wineservers.
#   bench/end_to_end.sh [--smoke] ROUNDS BUILD_DIR...
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
smoke=""
[ "$1" = --smoke ] && { smoke=--smoke; shift; }
rounds=$1
shift
screen=0 specs="" pids=""
trap 'kill $pids 2>/dev/null || true' EXIT
start() {   # ROLE LABEL FOLDER COMMAND...: the program on the next screen
    role=$1 label=$2 folder=$3
    shift 3
    (cd "$folder" && DISPLAY="$DISPLAY.$screen" exec "$@" >/dev/null 2>&1) &
    pids="$pids $!" specs="$specs $role:$label:$screen" screen=$((screen + 1))
}
for build in "$@"; do
    build=$(cd "$build" && pwd)
    label=$(basename "$build")
    [ "$label" = x64 ] && label=x86_64
    start viewer "$label" "$build/default-set" "$build/wine-run" "$build/orbvue.exe"
    start design "$label" "$build/default-set" "$build/wine-run" "$build/paint_design.exe"
    start minimal "$label" "$build/default-set" "$build/wine-run" "$build/minimal_window.exe"
done
start native x11 "$root" "$root/build/native/x11_square"
# shellcheck disable=SC2086
"$root/build/native/orbprobe" $smoke --rounds "$rounds" $specs
