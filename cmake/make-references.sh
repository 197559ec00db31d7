#!/bin/sh
# Decodes every BMP of a folder tree with ImageMagick into raw RGB bytes of the same
# relative name, as the reference the reader's pixels are compared with.
# ImageMagick writes what it could decode even when it complains; a file it
# cannot decode at all gets no reference.
set -u
src=$1 out=$2
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
mkdir -p "$out"
find "$src" -name '*.bmp' | sort | while read -r f; do
    rel=${f#"$src"/}
    mkdir -p "$out/$(dirname "$rel")"
    rm -f "$out/$rel.rgb"
    "$convert" "$f[0]" -depth 8 "rgb:$out/$rel.rgb" >/dev/null 2>&1 || true
done
touch "$out/.done"
