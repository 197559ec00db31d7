#!/bin/sh
# The picture-set builder on pictures of several formats, and its refusals.
#   picture_set_builder_test.sh BUILD_DIR SCRATCH_DIR
set -eu
build=$1 scratch=$2
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
fail() { echo "FAIL: $*"; exit 1; }
for i in 1 2 3 4 5 6 7 8 9 10; do
    convert -size 700x500 "gradient:hsb($((i * 36)),100%,60%)-hsb($((i * 36 + 90)),80%,90%)" -swirl $((i * 40)) "p$i.png"
done
convert p2.png p2.jpg
convert p3.png p3.bmp
convert -size 90x60 pattern:checkerboard p4.gif     # small and of two colours
set -- p1.png p2.jpg p3.bmp p4.gif p5.png p6.png p7.png p8.png p9.png p10.png

"$root/tools/build-picture-set.sh" set "$@" >builder.log || fail "the builder failed: $(cat builder.log)"
grep -q '^Rootdir=Z:' builder.log || fail "no Rootdir line"
(cd set && "$build/wine-run" "$build/orbtool.exe" check-set >../check.log) || fail "check-set: $(cat check.log)"
[ "$(grep -c usable check.log)" -eq 28 ] || fail "check-set did not list 28 files"
for f in set/LIMAGE4.BMP set/FIMAGE10.BMP; do
    [ "$(head -c 2 "$f")" = BM ] || fail "$f is no BMP"
done
"$build/wine-run" "$build/orbtool.exe" check set/LIMAGE4.BMP | grep -q "	486	372	8	0	usable" || fail "LIMAGE4 not 8-bit 486 x 372"

if "$root/tools/build-picture-set.sh" missing p1.png p2.jpg p3.bmp p4.gif p5.png p6.png p7.png p8.png p9.png nothere.png 2>err.log; then
    fail "a missing input was accepted"
fi
[ ! -e missing ] || fail "a refused run left a folder"
grep -q "cannot read nothere.png" err.log || fail "no clear message: $(cat err.log)"
echo "not a picture" > fake.png
if "$root/tools/build-picture-set.sh" fake p1.png p2.jpg p3.bmp p4.gif p5.png p6.png p7.png p8.png p9.png fake.png 2>err.log; then
    fail "an unreadable input was accepted"
fi
[ ! -e fake ] || fail "a refused run left a folder"
if "$root/tools/build-picture-set.sh" set "$@" 2>err.log; then
    fail "an existing folder was overwritten"
fi
echo "picture set builder: 1 passed, 0 failed"
