#!/bin/sh
# Runs every test: installs what is missing, builds both architectures, and
# runs the tests of the x64 build under Wine.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
tools/check-product.sh build/i686/orbvue.exe
tools/with-wine.sh build/x64 ctest --preset x64
# The reader's fuzz corpus, replayed under AddressSanitizer and
# UndefinedBehaviorSanitizer in a native build.
tools/fuzz.sh replay
