#!/bin/sh
# Runs the benchmarks and prints their tables. Not part of the tests:
# timings on shared machines are figures, never pass or fail.
#   bench/bench.sh [REPETITIONS]   (default 21; --smoke: a few seconds, only that it runs)
# First orbbench.exe (x86_64) inside the process: the lens, a picture
# switch, start-up, memory. Then, from outside, what a user feels: orbprobe
# (native, Xlib with XTest and DAMAGE) drives the real pointer on a virtual
# X server with a screen for each program (the viewer, the viewer's paint
# without the lens and a minimal Win32 program of each build that runs
# here, and a native X11 program) and times motions and clicks to pixels.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
runs=${1:-21} smoke=""
[ "$runs" = --smoke ] && runs=3 smoke=--smoke
builds=build/x64
can_run_32bit && builds="build/i686 $builds"
for build in $builds; do
    for exe in orbvue orbbench minimal_window paint_design; do
        [ -x "$build/$exe.exe" ] || { dev/build.sh; break 2; }
    done
done
mkdir -p build/native
for program in orbprobe x11_square; do
    [ "build/native/$program" -nt "bench/$program.cpp" ] ||
        clang++ -std=c++17 -O2 -Wall -o "build/native/$program" "bench/$program.cpp" -lXdamage -lXtst -lX11
done

dev/with-wine.sh build/x64 sh -c 'cd "$1/default-set" && "$1/wine-run" "$1/orbbench.exe" "$2"' bench "$root/build/x64" "$runs"

screens="" n=0
for build in $builds; do
    screens="$screens -screen $n 1024x768x24 -screen $((n + 1)) 1024x768x24 -screen $((n + 2)) 1024x768x24"
    n=$((n + 3))
done
screens="$screens -screen $n 1024x768x24"
. dev/xvfb.sh
# Without -noreset a server of several screens aborts when its last client leaves.
# shellcheck disable=SC2086
start_xvfb $screens -noreset
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT INT TERM
export DISPLAY="$xvfb_display"
wrap=""
for build in $builds; do wrap="$wrap dev/with-wine.sh $build"; done
# shellcheck disable=SC2086
$wrap sh bench/end_to_end.sh $smoke "$runs" $builds
