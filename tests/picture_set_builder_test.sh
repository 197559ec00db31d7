#!/bin/sh
# The picture-set builder on pictures of several formats: fill and fit on a
# portrait picture, the set's own credits page, the viewer started in the
# set's folder showing the set's strip and page, and the builder's refusals.
#   picture_set_builder_test.sh BUILD_DIR SCRATCH_DIR
set -eu
build=$1 scratch=$2
export ORB_BUILD="$build"   # the builder runs the tools of the build under test
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
fail() { echo "FAIL: $*"; exit 1; }
. "$root/tests/wait.sh"
rgb() { convert "$1" -format "%[fx:int(255*p{$2}.r+.5)] %[fx:int(255*p{$2}.g+.5)] %[fx:int(255*p{$2}.b+.5)]" info:; }   # FILE X,Y
colours() { convert "$1" -crop "$2" +repage -format %k info:; }   # FILE GEOMETRY
for i in 1 2 3 4 5 6 7 8 9 10; do
    convert -size 700x500 "gradient:hsb($((i * 36)),100%,60%)-hsb($((i * 36 + 90)),80%,90%)" -swirl $((i * 40)) "p$i.png"
done
convert p2.png p2.jpg
convert p3.png p3.bmp
convert -size 90x60 pattern:checkerboard p4.gif     # small and of two colours
# Portrait, red at the head, blue at the feet, every row of one colour.
convert -size 300x600 gradient:red-blue "standing figure.png"
set -- p1.png p2.jpg p3.bmp p4.gif "standing figure.png" p6.png p7.png p8.png p9.png p10.png
names="p1 p2 p3 p4 standing figure p6 p7 p8 p9 p10"

"$root/user-tools/build-picture-set.sh" set "$@" >builder.log 2>notes.log || fail "the builder failed: $(cat builder.log notes.log)"
grep -q '^Rootdir=$' builder.log || fail "no advice to leave Rootdir empty"
grep -q "standing figure.png loses" notes.log || fail "cropping a portrait picture went unmentioned"
# The settings the builder advises, whatever a test before left: Rootdir
# empty, the default names.
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$build/wine-run")
printf '[Lens]\r\nRootdir=\r\n' >"$prefix/drive_c/windows/talvix.ini"
(cd set && "$build/wine-run" "$build/orbtool.exe" check-set | tr -d "\r" >../check.log) || fail "check-set: $(cat check.log)"
[ "$(head -n 1 check.log)" = "file	code	meaning	width	height	bits	compression	verdict" ] || fail "check-set header"
[ "$(grep -c '	usable$' check.log)" -eq 28 ] || fail "check-set did not list 28 usable files: $(grep -v '	usable$' check.log)"
"$build/wine-run" "$build/orbtool.exe" check set/LIMAGE4.BMP | grep -q "	486	372	8	0	usable" || fail "LIMAGE4 not 8-bit 486 x 372"

# The credits page names the set's pictures in order: drawn again from the
# same text it matches; with the names reversed, or the default page, not.
[ "$(head -n 10 set/credits.txt | tr '\n' ' ')" = "$names " ] || fail "credits name: $(head -n 10 set/credits.txt)"
grep -q "reduced to 256 colours" set/credits.txt || fail "the credits do not say how the pictures were made"
"$build/wine-run" "$build/make_default_set.exe" credits set/credits.txt again.bmp
{ head -n 10 set/credits.txt | tac; tail -n +11 set/credits.txt; } >reversed.txt
"$build/wine-run" "$build/make_default_set.exe" credits reversed.txt reversed.bmp
cmp -s set/LCREDITB.BMP again.bmp || fail "the credits page is not the one drawn from its names"
! cmp -s set/LCREDITB.BMP reversed.bmp || fail "the order of the names does not show on the page"
! cmp -s set/LCREDITB.BMP "$build/default-set/LCREDITB.BMP" || fail "the set has the default credits page"
cmp -s set/LHELPB.BMP "$build/default-set/LHELPB.BMP" || fail "the help page changed"

# Fill: no bands, the picture's top and bottom cut away (neither pure red
# nor pure blue). Fit: the whole picture between bands of the chosen colour.
"$root/user-tools/build-picture-set.sh" --fit='#2a6f3c' fit "$@" >/dev/null 2>&1 || fail "the builder failed with --fit"
for f in set/LIMAGE5.BMP set/FIMAGE5.BMP; do
    w=$(identify -format %w "$f") h=$(identify -format %h "$f")
    [ "$(colours "$f" "1x$h+0+0")" -gt 20 ] && [ "$(colours "$f" "1x$h+$((w - 1))+0")" -gt 20 ] || fail "$f has bands"
    # shellcheck disable=SC2046
    set -- $(rgb "$f" "$((w / 2)),0") $(rgb "$f" "$((w / 2)),$((h - 1))")
    [ "$1" -lt 235 ] && [ "$6" -lt 235 ] || fail "$f: top $1 $2 $3, bottom $4 $5 $6: not cropped to fill"
done
for case in "LIMAGE5.BMP 372 150 186" "FIMAGE5.BMP 480 200 240"; do
    set -- $case
    f=fit/$1 h=$2 side=$3 inner=$4
    for x in 0 $((side + inner)); do
        [ "$(colours "$f" "${side}x$h+$x+0")" -eq 1 ] && [ "$(rgb "$f" "$x,0")" = "42 111 60" ] ||
            fail "$f: the band at $x is not all #2a6f3c"
    done
    for x in $side $((side + inner - 1)); do
        [ "$(rgb "$f" "$x,$((h / 2))")" != "42 111 60" ] || fail "$f: the picture does not reach $x"
    done
    # shellcheck disable=SC2046
    set -- $(rgb "$f" "$((side + inner / 2)),0") $(rgb "$f" "$((side + inner / 2)),$((h - 1))")
    [ "$1" -ge 235 ] && [ "$3" -le 20 ] && [ "$4" -le 20 ] && [ "$6" -ge 235 ] ||
        fail "$f: top $1 $2 $3, bottom $4 $5 $6: not the whole picture, red to blue"
done

# The way the builder advises: the viewer started in the set's folder, with
# an empty Rootdir, shows the set's strip and first picture (but for the
# lens's square), and its credits button the set's page.
(cd set && exec "$build/wine-run" "$build/orbvue.exe") &
viewer=$!
trap 'kill $viewer 2>/dev/null || true' EXIT
# The window belongs centred on the 1024 x 768 screen of dev/with-wine.sh.
[ "$(xdotool getdisplaygeometry)" = "1024 768" ] || fail "not the 1024 x 768 screen of dev/with-wine.sh"
left=192 top=144
wait_until 120 "the viewer in the set's folder does not show the set's strip" shows shot.png set/lselect.bmp root $((left + 5)) $((top + 5))
wait_until 60 "the viewer does not show the set's first picture" shows shot.png set/LIMAGE1.BMP root $((left + 145)) $((top + 5)) 10000
xdotool mousemove $((left + 539)) $((top + 457)) click 1
wait_until 60 "the credits button does not show the set's page" shows shot.png set/LCREDITB.BMP root $left $top
xdotool click 1
wait_until 60 "a click does not close the credits page" shows shot.png set/lselect.bmp root $((left + 5)) $((top + 5))
xdotool mousemove $((left + 613)) $((top + 457)) click 1
viewer_ended() { ! kill -0 $viewer 2>/dev/null; }
wait_until 60 "the exit button did not end the viewer within 60 s" viewer_ended

for refused in "missing:nothere.png:cannot read nothere.png" "fake:fake.png:fake.png is not a picture" \
    "set:p10.png:set exists already" "--fit=notacolour badcolour:p10.png:notacolour is not a colour"; do
    out=${refused%%:*} last=${refused#*:} message=${last#*:} last=${last%%:*}
    echo "not a picture" >fake.png
    # shellcheck disable=SC2086
    if "$root/user-tools/build-picture-set.sh" $out p1.png p2.jpg p3.bmp p4.gif p5.png p6.png p7.png p8.png p9.png "$last" 2>err.log; then
        fail "$out was accepted"
    fi
    grep -q "$message" err.log || fail "no clear message for $out: $(cat err.log)"
    [ "$out" = set ] || [ ! -e "${out#* }" ] || fail "a refused run left ${out#* }"
done
echo "picture set builder: 1 passed, 0 failed"
