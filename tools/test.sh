#!/bin/sh
# Runs every test: installs what is missing, builds both architectures,
# replays the reader's fuzz corpus in a native sanitizer build, and runs the
# tests of the x64 build under Wine.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
tools/check-product.sh build/i686/orbvue.exe
tools/fuzz.sh replay
tools/with-wine.sh build/x64 ctest --preset x64
