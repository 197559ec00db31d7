#!/bin/sh
# The default picture set and orbtool, run as people run them: the set made
# twice is the same bytes, every file has its size and form, check-set finds
# everything the viewer needs; orbtool check gives the reader's codes over
# the corpus with their meanings from image/dib.h and says why a picture is
# unusable; convert keeps the pixels.
#   default_set_test.sh BUILD_DIR SCRATCH_DIR DATA_DIR [CORPUS_DIR]
set -eu
build=$1 scratch=$2 data=$3 corpus=${4:-}
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
fail() { echo "FAIL: $*"; exit 1; }
# orbtool's output without carriage returns, and its exit status.
orbtool() {
    status=0
    "$build/wine-run" "$build/orbtool.exe" "$@" >orbtool.out || status=$?
    tr -d '\r' <orbtool.out
    return $status
}

for set in first second; do
    "$build/wine-run" "$build/make_default_set.exe" "$set" >/dev/null || fail "make_default_set $set"
done
diff -r first second >/dev/null || fail "two runs made different files"
[ "$(ls first | wc -l)" -eq 28 ] || fail "the set is not 28 files: $(ls first)"

# Each file: its size, 8 bits, uncompressed, a 40-byte header and the full
# colour table before the bits; the paintings usable with the lens.
cd first
while read -r file width height usable; do
    line=$(orbtool check "$file" || true)
    echo "$line" | grep -q "^$file	0	loaded	$width	$height	8	0	$usable" || fail "$file: $line"
    [ "$(od -An -tu4 -j10 -N8 "$file" | tr -s ' ')" = " 1078 40" ] || fail "$file: not a 40-byte header with 256 colours"
done <<EOF
LIMAGE1.BMP 486 372 usable
LIMAGE10.BMP 486 372 usable
FIMAGE4.BMP 640 480 usable
FIMAGE7.BMP 640 480 usable
lselect.bmp 126 277 usable
lbutton.bmp 126 86 unusable: smaller than 102 x 102
zoom.bmp 33 33 unusable: smaller than 102 x 102
LCREDITB.BMP 640 480 usable
LHELPB.BMP 640 480 usable
EOF
# check-set reads the settings file: one that a killed test left in the
# prefix, naming its own Rootdir, is no part of this set.
rm -f "$build/wineprefix/drive_c/windows/talvix.ini"
orbtool check-set >../check-set.log || fail "check-set: $(cat ../check-set.log)"
[ "$(grep -c '	usable' ../check-set.log)" -eq 28 ] || fail "check-set: $(cat ../check-set.log)"

# convert goes through a device bitmap and back: 24 bits keep every pixel.
orbtool convert LIMAGE3.BMP ../rgb.bmp >/dev/null || fail "convert"
orbtool convert LIMAGE3.BMP ../eight.bmp 8 >/dev/null || fail "convert to 8 bits"
[ "$(compare -metric AE LIMAGE3.BMP ../rgb.bmp null: 2>&1)" = 0 ] || fail "convert changed pixels"
orbtool check ../eight.bmp | grep -q "	486	372	8	0	usable" || fail "convert did not make 8 bits"
cd ..
for bad in "convert missing.bmp out.bmp:1" "convert rgb.bmp out.bmp 16:2" "frobnicate:2"; do
    code=0
    # shellcheck disable=SC2086
    orbtool ${bad%:*} >/dev/null 2>&1 || code=$?
    [ "$code" -eq "${bad##*:}" ] || fail "orbtool ${bad%:*} ended with $code"
done

# check over the corpus: one line a file, with the code the reader gives.
if [ -n "$corpus" ]; then
    grep -v '^#' "$data/corpus.txt" | cut -d' ' -f1,2 >want.txt
    # shellcheck disable=SC2046
    orbtool check $(cut -d' ' -f1 want.txt | sed "s#^#Z:$corpus/#") >got.log || true
    awk -F'\t' -v n=$((${#corpus} + 4)) '{ print substr($1, n), $2 }' got.log | diff want.txt - >/dev/null ||
        fail "orbtool check disagrees with the reader over the corpus: $(cat got.log)"
fi
# The meaning beside each code is the reader's in the image store's one list.
dib_h=$data/../../image/dib.h
sed -n 's/^ *X(DIB_[A-Z_]*, \([0-9]*\), "\([^"]*\)".*/\1	\2/p' "$dib_h" >meanings.txt
[ "$(wc -l <meanings.txt)" -eq "$(grep -c '^ *X(DIB_' "$dib_h")" ] || fail "a reader meaning in $dib_h is not one text on its line"
orbtool check missing.bmp first/LIMAGE1.BMP >>got.log || true
awk -F'\t' 'NR == FNR { m[$1] = $2; next } m[$2] != $3' meanings.txt got.log >wrong.log
[ ! -s wrong.log ] || fail "orbtool's meanings are not image/dib.h's: $(cat wrong.log)"
echo "default set and orbtool: passed"
