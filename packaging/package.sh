#!/bin/sh
# Makes the release files from a built i686 folder (orbvue.exe, default-set/
# and version.txt in it): orbvue-VERSION-win32.zip and orbvue-VERSION-setup.exe
# in OUT_DIR, from one staged folder, so both ship the same files: those of
# packaging/release-files.txt. The pictures come from SET_DIR when given
# (another build's default set: both builds make the same bytes). Prints the
# two paths. dev/release.sh builds first and then runs this.
#   packaging/package.sh BUILD_DIR OUT_DIR [SET_DIR]
# The same inputs give the same bytes: every file carries the time
# SOURCE_DATE_EPOCH (the last commit's when it is not set), in one order,
# with fixed modes, whatever the folder, clock, time zone, locale or umask.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
here="$root/packaging"
fail() { echo "package: $*" >&2; exit 1; }
build=$(cd "$1" && pwd)
set_dir=$(cd "${3:-$build/default-set}" && pwd) || fail "no picture folder ${3:-$build/default-set}"
mkdir -p "$2"
out=$(cd "$2" && pwd)
export LC_ALL=C TZ=UTC
umask 022

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
        fail "SOURCE_DATE_EPOCH is not set and $root is no git checkout to take the last commit's time from"
fi
case "$SOURCE_DATE_EPOCH" in
*[!0-9]* | "") fail "SOURCE_DATE_EPOCH '$SOURCE_DATE_EPOCH' is not seconds since 1970" ;;
esac
export SOURCE_DATE_EPOCH
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
    # The program without its symbols. strip writes a link time into the
    # header, SOURCE_DATE_EPOCH's or the clock's: 0 keeps the linker's none.
    orbvue.exe) SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip -o "$stage/$f" "$build/orbvue.exe" ||
        fail "cannot strip $build/orbvue.exe" ;;
    # Text for Windows: CRLF line ends.
    README.txt) sed "s/@VERSION@/$version/g; s/\$/\r/" "$here/README.txt" >"$stage/$f" ;;
    LICENSE.txt) sed 's/$/\r/' "$root/LICENSE" >"$stage/$f" ;;
    *) cp "$set_dir/$f" "$stage/" || fail "the default set in $set_dir lacks $f" ;;
    esac
done
# Both the zip and the installer store each file's time and the zip its
# mode: the commit's time, and modes that no umask changed.
chmod 0755 "$stage"
# shellcheck disable=SC2086 # each name is one word, as in the loops above
(cd "$stage" && chmod 0644 $files && touch -d "@$SOURCE_DATE_EPOCH" $files .)
# The installer's list of the same files, for installing and for removing.
for f in $files; do
    printf '  !insertmacro ${DO} "%s"\n' "$f"
done | { echo '!macro ReleaseFiles DO'; cat; echo '!macroend'; } >"$work/release-files.nsh"

# The folder first, then its files in the list's order; -X leaves out the
# owner and the extra time fields, and the zip's own times are local ones,
# UTC here.
# shellcheck disable=SC2046
(cd "$work" && zip -q -X "$zip" "$name/" $(for f in $files; do echo "$name/$f"; done)) || fail "zip failed"
# What the uninstall entry says the program takes: the files' own sizes,
# not the blocks a file system gives them.
# shellcheck disable=SC2086
size_kb=$(( ($(cd "$stage" && cat $files | wc -c) + 1023) / 1024 ))
makensis -V2 -WX -NOCD -DVERSION="$version" -DSTAGE="$stage" -DFILES="$work/release-files.nsh" -DOUTFILE="$setup" \
    -DSIZE_KB="$size_kb" "$here/orbvue.nsi" >"$work.log" 2>&1 || {
    cat "$work.log" >&2
    fail "makensis failed"
}
echo "$zip"
echo "$setup"
