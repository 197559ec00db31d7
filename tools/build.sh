#!/bin/sh
# Configures and builds both architectures: x64, which the tests run, and
# i686, the product.
set -eu
cd "$(dirname "$0")/.."
for preset in x64 i686; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
