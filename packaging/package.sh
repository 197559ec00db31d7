#!/bin/sh
# Makes the release files from a built i686 folder (orbvue.exe, default-set/
# and version.txt in it): orbvue-VERSION-win32.zip and orbvue-VERSION-setup.exe
# in OUT_DIR, from one staged folder, so both ship the same files: those of
# packaging/release-files.txt. Prints the two paths. dev/release.sh builds
# first and then runs this.
#   packaging/package.sh BUILD_DIR OUT_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
here="$root/packaging"
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
files=$(sed '/^#/d; /^[[:space:]]*$/d' "$here/release-files.txt")
rm -rf "$work" "$zip" "$setup"
# A run that fails or is stopped leaves neither the stage nor half a release.
cleanup() {
    status=$?
    rm -rf "$work" "$work.log"
    [ "$status" -eq 0 ] || rm -f "$zip" "$setup"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM
mkdir -p "$stage"

for f in $files; do
    case $f in
    # The program without its debugging sections.
    orbvue.exe) i686-w64-mingw32-strip -o "$stage/$f" "$build/orbvue.exe" || fail "cannot strip $build/orbvue.exe" ;;
    # Text for Windows: CRLF line ends.
    README.txt) sed "s/@VERSION@/$version/g; s/\$/\r/" "$here/README.txt" >"$stage/$f" ;;
    LICENSE.txt) sed 's/$/\r/' "$root/LICENSE" >"$stage/$f" ;;
    *) cp "$build/default-set/$f" "$stage/" || fail "the default set in $build lacks $f" ;;
    esac
done
# The installer's list of the same files, for installing and for removing.
for f in $files; do
    printf '  !insertmacro ${DO} "%s"\n' "$f"
done | { echo '!macro ReleaseFiles DO'; cat; echo '!macroend'; } >"$work/release-files.nsh"

(cd "$work" && zip -q -X -r "$zip" "$name") || fail "zip failed"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -WX -NOCD -DVERSION="$version" -DSTAGE="$stage" -DFILES="$work/release-files.nsh" -DOUTFILE="$setup" \
    -DSIZE_KB="$size_kb" "$here/orbvue.nsi" >"$work.log" 2>&1 || {
    cat "$work.log" >&2
    fail "makensis failed"
}
echo "$zip"
echo "$setup"
