#!/bin/sh
# Makes the release files from a built i686 folder (orbvue.exe, default-set/
# and version.txt in it): orbvue-VERSION-win32.zip and orbvue-VERSION-setup.exe
# in OUT_DIR, from one staged folder, so both ship the same files. Prints the
# two paths. dev/release.sh builds first and then runs this.
#   packaging/package.sh BUILD_DIR OUT_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
fail() { echo "package: $*" >&2; exit 1; }

version=$(cat "$build/version.txt" 2>/dev/null) || fail "no version.txt in $build: configure it with CMake"
case "$version" in
*[!0-9.]* | "") fail "version '$version' is not N.N.N" ;;
esac
name=orbvue-$version
zip=$out/$name-win32.zip
setup=$out/$name-setup.exe
work=$out/.stage
stage=$work/$name
rm -rf "$work" "$zip" "$setup"
mkdir -p "$stage"

# The program without its debugging sections, and the default picture set.
i686-w64-mingw32-strip -o "$stage/orbvue.exe" "$build/orbvue.exe" || fail "cannot strip $build/orbvue.exe"
for f in LIMAGE1 LIMAGE2 LIMAGE3 LIMAGE4 LIMAGE5 LIMAGE6 LIMAGE7 LIMAGE8 LIMAGE9 LIMAGE10 \
    FIMAGE1 FIMAGE2 FIMAGE3 FIMAGE4 FIMAGE5 FIMAGE6 FIMAGE7 FIMAGE8 FIMAGE9 FIMAGE10 \
    LCREDITB LHELPB; do
    cp "$build/default-set/$f.BMP" "$stage/" || fail "the default set in $build lacks $f.BMP"
done
for f in lselect lbutton copyrite help exit zoom; do
    cp "$build/default-set/$f.bmp" "$stage/" || fail "the default set in $build lacks $f.bmp"
done
# Text for Windows: CRLF line ends.
sed "s/@VERSION@/$version/g; s/\$/\r/" "$here/README.txt" >"$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

(cd "$work" && zip -q -X -r "$zip" "$name") || fail "zip failed"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -WX -NOCD -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" \
    -DSIZE_KB="$size_kb" "$here/orbvue.nsi" >"$work.log" 2>&1 || {
    cat "$work.log" >&2
    fail "makensis failed"
}
rm -rf "$work" "$work.log"
echo "$zip"
echo "$setup"
