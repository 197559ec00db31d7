#!/bin/sh
# Sourced by run.sh and release.sh, which work in the repository root.
#   build_quietly PRESET TARGET...   configures PRESET with the parts that
#                                    run under Wine (the default set) and
#                                    builds TARGETs; shows the build's output,
#                                    on stderr, only when it fails, and then
#                                    returns 1. The output is kept in
#                                    build/PRESET.log either way.
#                                    build_run_tests=OFF configures it
#                                    without them, as dev/build.sh does for
#                                    i686 where 32-bit code cannot run.
build_quietly() {
    build_preset=$1
    shift
    mkdir -p build
    if { cmake --preset "$build_preset" -DORB_RUN_TESTS="${build_run_tests:-ON}" &&
        cmake --build --preset "$build_preset" --target "$@"; } >"build/$build_preset.log" 2>&1; then
        return 0
    fi
    cat "build/$build_preset.log" >&2
    return 1
}
