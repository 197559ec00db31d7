#!/bin/sh
# Runs the benchmarks on the default picture set under Wine and prints one
# table. Not part of the tests: timings on shared machines are figures,
# never pass or fail.
#   tools/bench.sh [REPETITIONS]     (default 21; --smoke: 3, only that it runs)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-21}
[ "$runs" = --smoke ] && runs=3
build="$root/build/x64"
[ -x "$build/orbbench.exe" ] || tools/build.sh
exec tools/with-wine.sh "$build" sh -c 'cd "$1/default-set" && "$1/wine-run" "$1/orbbench.exe" "$2"' bench "$build" "$runs"
