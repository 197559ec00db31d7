#!/bin/sh
# Runs every test: installs what is missing, builds both architectures,
# replays the reader's fuzz corpus in a native sanitizer build, and runs the
# whole suite under Wine on the i686 build (the program people run, with the
# long runs) and on the x86_64 build, each in Wine prefixes of its own. A failed
# replay or suite makes the exit status non-zero and the rest still runs; a
# failed install, build or product check stops it at once.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
dev/install-deps.sh
dev/build.sh
tests/product/check-product.sh build/i686/orbvue.exe
status=0
echo "== fuzz corpus replay (sanitizer build)"
tests/fuzz/fuzz.sh replay || status=1
if can_run_32bit; then
    # The program people run also gets the long runs: the 10,000-event
    # monkey and 10,000 picture changes.
    echo "== i686 suite (32-bit Wine), with the long runs (ORB_SOAK=full)"
    ORB_SOAK=full dev/with-wine.sh build/i686 ctest --preset i686 || status=1
else
    echo "== i686 suite NOT RUN: this machine cannot execute 32-bit code (Exec format error); only the x86_64 suite runs"
fi
echo "== x86_64 suite (64-bit Wine)"
dev/with-wine.sh build/x64 ctest --preset x64 || status=1
exit $status
