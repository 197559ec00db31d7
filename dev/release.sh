#!/bin/sh
# Makes a release from this checkout: builds the i686 viewer and the default
# picture set, then the portable zip and the installer (packaging/package.sh)
# into OUT_DIR, build/release by default. The version is the CMake project's.
#   dev/release.sh [OUT_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-build/release}
. dev/arch.sh
. dev/build-quietly.sh
dev/install-deps.sh
if ! can_run_32bit; then
    echo "release: this machine cannot execute 32-bit code, which the default picture set is made with" >&2
    exit 1
fi
build_quietly i686 orbvue default_set || { echo "release: the build failed" >&2; exit 1; }
tests/product/check-product.sh build/i686/orbvue.exe
packaging/package.sh build/i686 "$out"
