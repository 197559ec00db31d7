#!/bin/sh
# Turns ten pictures of any common format into a picture set for the viewer:
# the paintings at 486 x 372 and their full-size variants at 640 x 480
# (cropped to fill), reduced to 256 colours by ImageMagick, as 8-bit
# uncompressed BMP files; a thumbnail strip made from them; the interface
# pictures of the default set. Writes nothing unless every step succeeds.
#   tools/build-picture-set.sh OUTPUT_FOLDER PICTURE1 ... PICTURE10
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
say() { echo "build-picture-set: $*" >&2; }
[ $# -eq 11 ] || { say "usage: $0 OUTPUT_FOLDER PICTURE1 ... PICTURE10"; exit 2; }
out=$1
shift
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
[ -e "$out" ] && { say "$out exists already; name a new folder"; exit 1; }
for f in "$@"; do
    [ -r "$f" ] || { say "cannot read $f"; exit 1; }
    identify "$f[0]" >/dev/null 2>&1 || { say "$f is not a picture ImageMagick can read"; exit 1; }
done
for f in "$build/default-set/lbutton.bmp" "$build/orbtool.exe"; do
    [ -e "$f" ] || { say "$f is missing: run tools/build.sh first"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/picture-set.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Reduces to 256 colours and writes a BMP with a 40-byte header; orbtool
# then makes it 8-bit uncompressed (ImageMagick may use fewer bits).
to_bmp() {   # SOURCE WIDTH HEIGHT TARGET
    "$convert" "$1[0]" -resize "$2x$3^" -gravity center -extent "$2x$3" -dither FloydSteinberg -colors 256 \
        -type Palette -compress none "BMP3:$work/tmp.bmp"
    "$build/wine-run" "$build/orbtool.exe" expand "Z:$work/tmp.bmp" "Z:$work/$4" >/dev/null
}
n=1
strip="$work/strip.png"
"$convert" -size 126x277 xc:'#303038' "$strip"
for f in "$@"; do
    to_bmp "$f" 486 372 "LIMAGE$n.BMP"
    to_bmp "$f" 640 480 "FIMAGE$n.BMP"
    column=$(( (n - 1) % 2 )) row=$(( (n - 1) / 2 ))
    x=$(( column == 0 ? 3 : 66 )) y=$(( 3 + row * 55 )) w=$(( column == 0 ? 59 : 58 ))
    "$convert" "$strip" \( "$f[0]" -resize "${w}x51^" -gravity center -extent "${w}x51" \) -gravity northwest \
        -geometry "+$x+$y" -composite "$strip"
    n=$((n + 1))
done
to_bmp "$strip" 126 277 lselect.bmp
for f in lbutton.bmp copyrite.bmp help.bmp exit.bmp zoom.bmp LCREDITB.BMP LHELPB.BMP; do
    cp "$build/default-set/$f" "$work/$f"
done
rm -f "$work/tmp.bmp" "$strip"
# Every file must load as the viewer wants it before anything is kept.
(cd "$work" && "$build/wine-run" "$build/orbtool.exe" check LIMAGE*.BMP FIMAGE*.BMP >/dev/null) ||
    { say "a converted picture does not check out"; exit 1; }
mkdir -p "$(dirname "$out")"
cp -r "$work" "$out"
chmod 755 "$out"
winpath=$(printf 'Z:%s\\' "$(cd "$out" && pwd)" | tr / '\\')
cat <<INI
The set is in $out. Start the viewer in that folder, or put these lines in
talvix.ini (in the Wine prefix's drive_c/windows) to keep the pictures there
while the interface pictures come from the folder the viewer starts in:

[Selection]
Image1=LIMAGE1.BMP
Image2=LIMAGE2.BMP
Image3=LIMAGE3.BMP
Image4=LIMAGE4.BMP
Image5=LIMAGE5.BMP
Image6=LIMAGE6.BMP
Image7=LIMAGE7.BMP
Image8=LIMAGE8.BMP
Image9=LIMAGE9.BMP
Image10=LIMAGE10.BMP
[Lens]
Rootdir=$winpath
INI
[ ${#winpath} -le 48 ] || say "note: Rootdir is longer than the 48 characters the viewer keeps; use a shorter folder"
