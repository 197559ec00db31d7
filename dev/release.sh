#!/bin/sh
# Makes a release from this checkout: builds the i686 viewer and the default
# picture set, then the portable zip and the installer (packaging/package.sh)
# and SHA256SUMS of the two into OUT_DIR, build/release by default. The
# version is the CMake project's. The same commit gives the same bytes on
# the same Debian release (docs/development.md, Making a release).
#   dev/release.sh [OUT_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-build/release}
# Nothing of the caller's locale, time zone or umask reaches the build.
export LC_ALL=C.UTF-8 TZ=UTC
umask 022
. dev/arch.sh
. dev/build-quietly.sh
dev/install-deps.sh
started=$(date +%s)
# The time the release's files carry: the last commit's, unless set.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || {
        echo "release: not a git checkout: set SOURCE_DATE_EPOCH to the release commit's time" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
# The pictures are made by a program of the build, run under Wine: the i686
# one where 32-bit code runs, else the x86_64 one, which makes the same bytes.
if can_run_32bit; then
    build_quietly i686 orbvue default_set || { echo "release: the build failed" >&2; exit 1; }
    set_dir=build/i686/default-set
else
    echo "release: this machine cannot execute 32-bit code: the pictures are made by the x86_64 build"
    { (build_run_tests=OFF && build_quietly i686 orbvue) && build_quietly x64 default_set; } ||
        { echo "release: the build failed" >&2; exit 1; }
    set_dir=build/x64/default-set
fi
tests/product/check-product.sh build/i686/orbvue.exe
files=$(packaging/package.sh build/i686 "$out" "$set_dir")
# Checksums as sha256sum writes them, so `sha256sum -c SHA256SUMS` checks
# the two files beside it.
(cd "$out" && for f in $files; do basename "$f"; done | xargs sha256sum >SHA256SUMS)
echo "$files"
echo "$out/SHA256SUMS"
# What made these bytes: a published release names it (the same commit
# gives other bytes on another Debian release), one line.
# shellcheck disable=SC2046
echo "release: made in $(($(date +%s) - started)) s on Debian $(cat /etc/debian_version) with" \
    $(dpkg-query -W -f='${Package} ${Version},\n' mingw-w64-common gcc-mingw-w64-i686-posix \
        binutils-mingw-w64-i686 wine64 nsis zip | sed '$s/,$//')
