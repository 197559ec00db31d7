#!/bin/sh
# Configures and builds both architectures: i686, the product, and x86_64.
# Where this machine cannot execute 32-bit code, the i686 build is compiled
# but nothing of it is run (no tests, no default set).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
run32=ON
can_run_32bit || run32=OFF
cmake --preset x64 >/dev/null
cmake --preset i686 -DORB_RUN_TESTS=$run32 >/dev/null
for preset in x64 i686; do
    cmake --build --preset "$preset"
done
