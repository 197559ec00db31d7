#!/bin/sh
# Runs every test: installs what is missing, builds both architectures,
# replays the reader's fuzz corpus in a native sanitizer build, and runs the
# whole suite under Wine on the i686 build (the program people run) and on
# the x86_64 build, each in Wine prefixes of its own, and checks that the
# release comes out the same bytes when made again. The long runs go to the
# i686 suite, or to the x86_64 one where 32-bit code cannot run. A failed
# replay or suite makes the exit status non-zero and the rest still runs; a
# failed install, build or product check stops it at once. The last lines
# name every check that did not run, and why.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
dev/install-deps.sh
dev/build.sh
tests/product/check-product.sh build/i686/orbvue.exe
status=0
# Checks that did not run, one line each, "NOT RUN: what: why". A leg that
# runs some of them another way takes their lines out; tests add their own
# through the file ORB_NOT_RUN.
not_run=""
export ORB_NOT_RUN="$root/build/not-run.txt"
: >"$ORB_NOT_RUN"
echo "== fuzz corpus replay (sanitizer build)"
tests/fuzz/fuzz.sh replay || status=1
if can_run_32bit; then
    # The program people run also gets the long runs: the 10,000-event
    # monkey and 10,000 picture changes.
    echo "== i686 suite (32-bit Wine), with the long runs (ORB_SOAK=full)"
    ORB_SOAK=full dev/with-wine.sh build/i686 ctest --preset i686 || status=1
    x64_soak=""
else
    why="this machine cannot execute 32-bit code (Exec format error)"
    not_run="NOT RUN: i686 e2e_tests, the shipped orbvue.exe driven end to end with the 10,000-event monkey: $why
NOT RUN: i686 window_tests and window_tests_palette, the shipped build's windows and its leak checks over 10,000 picture changes: $why
NOT RUN: i686 core_tests and core_tests_palette, the shipped build's image store, lens and palettes: $why
NOT RUN: i686 install_tests, the zip and the installer installed and removed in 32-bit and 64-bit Windows: $why
NOT RUN: i686 palette_screen, the shipped orbvue.exe on the 8-bit screen: $why
NOT RUN: i686 default_set_tests and picture_set_builder, the shipped build's tools: $why"
    x64_soak=full
fi
echo "== x86_64 suite (64-bit Wine)${x64_soak:+, with the long runs (ORB_SOAK=full)}"
ORB_SOAK=$x64_soak dev/with-wine.sh build/x64 ctest --preset x64 || status=1
echo "== the release made twice, in two copies under other conditions, and compared"
dev/check-reproducible.sh || status=1
# The corpus checks skip quietly in a build configured without the BMP
# corpus: the summary names them.
for build in build/i686 build/x64; do
    tests=$build/tests/CTestTestfile.cmake
    if grep -q core_tests "$tests" 2>/dev/null && ! grep -q ORB_BMPSUITE=Z: "$tests"; then
        not_run="$not_run
NOT RUN: $build corpus checks: configured without the BMP corpus (ORB_BMPSUITE, by default ../shared/bmpsuite; docs/development.md)"
    fi
done
not_run=$(printf '%s\n%s' "$not_run" "$(cat "$ORB_NOT_RUN")" | sed '/^$/d')
if [ -n "$not_run" ]; then
    echo "== checks that did not run (not passed: no evidence gathered)"
    printf '%s\n' "$not_run"
else
    echo "== every check ran"
fi
exit $status
