#!/bin/sh
# Turns ten pictures of any common format into a picture set for the viewer:
# the paintings at 486 x 372 and their full-size variants at 640 x 480,
# reduced to 256 colours by ImageMagick, as 8-bit uncompressed BMP files; a
# thumbnail strip made from them; a credits page naming them; the default
# set's buttons and help page. Writes nothing unless every step succeeds.
#   user-tools/build-picture-set.sh [--fill | --fit[=COLOUR]] OUTPUT_FOLDER PICTURE1 ... PICTURE10
# --fill (the default) scales each picture to cover the whole area and cuts
# away what stands out; --fit scales it to lie wholly inside and fills the
# rest with bands of COLOUR (any colour ImageMagick knows; black if none).
# It runs this checkout's tools (ORB_BUILD, or the i686 build, or the
# x86_64 one where this machine cannot run 32-bit code).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/dev/arch.sh"
build=${ORB_BUILD:-"$root/build/i686"}
[ -n "${ORB_BUILD:-}" ] || can_run_32bit || build="$root/build/x64"
say() { echo "build-picture-set: $*" >&2; }
usage() { say "usage: $0 [--fill | --fit[=COLOUR]] OUTPUT_FOLDER PICTURE1 ... PICTURE10"; exit 2; }
mode=fill bands=black
case "${1:-}" in
--fill) mode=fill; shift ;;
--fit) mode=fit; shift ;;
--fit=*) mode=fit bands=${1#--fit=}; shift ;;
-*) usage ;;
esac
[ $# -eq 11 ] || usage
out=$1
shift
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
[ -e "$out" ] && { say "$out exists already; name a new folder"; exit 1; }
"$convert" -size 1x1 "xc:$bands" null: 2>/dev/null || { say "$bands is not a colour ImageMagick knows"; exit 1; }
for f in "$@"; do
    [ -r "$f" ] || { say "cannot read $f"; exit 1; }
    identify "${f}[0]" >/dev/null 2>&1 || { say "$f is not a picture ImageMagick can read"; exit 1; }
done
for f in "$build/default-set/lbutton.bmp" "$build/orbtool.exe" "$build/make_default_set.exe"; do
    [ -e "$f" ] || { say "$f is missing: run dev/build.sh first"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/picture-set.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Reduces to 256 colours and writes a BMP with a 40-byte header; orbtool
# then makes it 8-bit uncompressed (ImageMagick may use fewer bits). Fit
# gives the picture 255 colours, so the bands keep exactly their colour.
to_bmp() {   # SOURCE WIDTH HEIGHT TARGET
    if [ "$mode" = fill ]; then
        "$convert" "${1}[0]" -resize "$2x$3^" -gravity center -extent "$2x$3" -dither FloydSteinberg -colors 256 \
            -type Palette -compress none "BMP3:$work/tmp.bmp"
    else
        "$convert" "${1}[0]" -resize "$2x$3" -dither FloydSteinberg -colors 255 -background "$bands" -gravity center \
            -extent "$2x$3" -type Palette -compress none "BMP3:$work/tmp.bmp"
    fi
    "$build/wine-run" "$build/orbtool.exe" expand "Z:$work/tmp.bmp" "Z:$work/$4" >/dev/null
}
# How much of a picture filling 486 x 372 is cut away, in per cent.
cropped() {
    identify -format '%w %h\n' "${1}[0]" | awk '{ r = ($1 / $2) / (486 / 372); if (r < 1) r = 1 / r; printf "%d", 100 - 100 / r }'
}
n=1
strip="$work/strip.png"
"$convert" -size 126x277 xc:'#303038' "$strip"
: >"$work/credits.txt"
for f in "$@"; do
    to_bmp "$f" 486 372 "LIMAGE$n.BMP"
    to_bmp "$f" 640 480 "FIMAGE$n.BMP"
    column=$(( (n - 1) % 2 )) row=$(( (n - 1) / 2 ))
    x=$(( column == 0 ? 3 : 66 )) y=$(( 3 + row * 55 )) w=$(( column == 0 ? 59 : 58 ))
    if [ "$mode" = fill ]; then
        "$convert" "$strip" \( "${f}[0]" -resize "${w}x51^" -gravity center -extent "${w}x51" \) -gravity northwest \
            -geometry "+$x+$y" -composite "$strip"
        lost=$(cropped "$f")
        [ "$lost" -lt 10 ] || say "note: $f loses $lost% of its area to fill the picture; --fit keeps all of it"
    else
        "$convert" "$strip" \( "${f}[0]" -resize "${w}x51" -background "$bands" -gravity center -extent "${w}x51" \) \
            -gravity northwest -geometry "+$x+$y" -composite "$strip"
    fi
    # The credits name each picture by its file name, without folder or type.
    name=$(basename "$f")
    printf '%s\n' "${name%.*}" >>"$work/credits.txt"
    n=$((n + 1))
done
if [ "$mode" = fill ]; then
    how="Each picture was scaled to fill 486 x 372 and 640 x 480, cropping what stood out,"
else
    how="Each picture was scaled to fit 486 x 372 and 640 x 480, whole, with bands of $bands,"
fi
printf '%s\n' "$how" "and reduced to 256 colours by ImageMagick (Floyd-Steinberg dithering)." \
    "The buttons and the help page are those of the default set." >>"$work/credits.txt"
"$build/wine-run" "$build/make_default_set.exe" credits "Z:$work/credits.txt" "Z:$work/LCREDITB.BMP" >/dev/null
to_bmp "$strip" 126 277 lselect.bmp
for f in lbutton.bmp copyrite.bmp help.bmp exit.bmp zoom.bmp LHELPB.BMP; do
    cp "$build/default-set/$f" "$work/$f"
done
rm -f "$work/tmp.bmp" "$strip"
# Every file must load as the viewer wants it before anything is kept.
(cd "$work" && "$build/wine-run" "$build/orbtool.exe" check LIMAGE*.BMP FIMAGE*.BMP >/dev/null) ||
    { say "a converted picture does not check out"; exit 1; }
mkdir -p "$(dirname "$out")"
cp -r "$work" "$out"
chmod 755 "$out"
cat <<EOF
The set is in $out. Start the viewer in that folder: the thumbnail strip,
the buttons and the credits and help pages are read from the folder the
viewer starts in, and so are the paintings when talvix.ini (in the Wine
prefix's drive_c/windows) has an empty Rootdir and the default names:

[Lens]
Rootdir=

and no [Selection] section (or Image1=LIMAGE1.BMP ... Image10=LIMAGE10.BMP).
With this checkout's build, for example:

cd "$(cd "$out" && pwd)" && "$build/wine-run" "$build/orbvue.exe"
EOF
