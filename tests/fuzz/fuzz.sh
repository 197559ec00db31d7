#!/bin/sh
# The reader's fuzz target, built natively with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer: Wine's headers declare the platform, a small
# POSIX stand-in implements the calls the image store and the lens make.
#   tests/fuzz/fuzz.sh replay             run every file of tests/fuzz/corpus once
#   tests/fuzz/fuzz.sh run SECONDS [DIR]  fuzz, seeded with the corpus and the BMP suite
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out"
sources="tests/fuzz/fuzz_reader.cpp tests/fuzz/posix_platform.cpp image/dib_block.cpp image/dib_read.cpp
image/dib_runlength.cpp image/dib_write.cpp image/dib_palette.cpp image/dib_convert.cpp lens/lens_table.cpp
lens/lens_draw.cpp app/globals.cpp"
cd "$root"
# shellcheck disable=SC2086
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Wno-pragma-pack -I/usr/include/wine/wine/windows -I. $sources -o "$out/fuzz_reader"
case "${1:-replay}" in
replay)
    count=$(ls tests/fuzz/corpus | wc -l)
    # The replay's own status decides: a crash, a sanitizer report or a
    # leak ends it non-zero. Its log is kept whole for the one who reads it.
    code=0
    "$out/fuzz_reader" -runs=0 tests/fuzz/corpus/* >"$out/replay.log" 2>&1 || code=$?
    tail -n 3 "$out/replay.log"
    if [ $code -ne 0 ] || grep -q 'ERROR: \(Address\|Leak\|UndefinedBehavior\)Sanitizer\|runtime error:' "$out/replay.log"; then
        grep -m 5 'ERROR: \|runtime error:\|SUMMARY: ' "$out/replay.log" || true
        echo "fuzz corpus replay FAILED (exit code $code); the whole log is $out/replay.log" >&2
        exit 1
    fi
    echo "fuzz corpus replayed: $count files, none failed"
    ;;
run)
    seconds=${2:?how many seconds}
    work=${3:-"$out/corpus"}
    mkdir -p "$work"
    "$out/fuzz_reader" -max_total_time="$seconds" -max_len=40000 -print_final_stats=1 "$work" \
        tests/fuzz/corpus ../shared/bmpsuite/g ../shared/bmpsuite/q ../shared/bmpsuite/b
    ;;
*)
    echo "usage: tests/fuzz/fuzz.sh replay | run SECONDS [DIR]" >&2
    exit 2
    ;;
esac
