#!/bin/sh
# Runs the palette probe on the 8-bit screen and counts the entries that come
# back right three ways: through the window's device context (the probe
# itself), from the X server through the window's own colour map, and as the
# screen shows them, through the colour map that is installed.
#   dev/with-wine.sh build/i686 investigations/palette-probe.sh build/i686 [wm] [PROBE ARGUMENTS]
# wm runs twm for the probe's run; it installs the colour map of the window
# under the pointer. Wine's settings are those of the palette prefix, for
# example, for the probe alone:
#   build/i686/wine-run-palette reg add \
#     'HKCU\Software\Wine\AppDefaults\palette_probe.exe\X11 Driver' /v ClientSideGraphics /d N /f
set -eu
build=$(cd "$1" && pwd)
shift
export DISPLAY="${ORB_PALETTE_DISPLAY:?run through dev/with-wine.sh, which starts the 8-bit screen}"
work=$(mktemp -d)
wm="" probe=""
cleanup() {
    [ -z "$probe" ] || kill "$probe" 2>/dev/null || true
    [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

if [ "${1:-}" = wm ]; then
    shift
    printf 'NoTitle\nUsePPosition "on"\nRandomPlacement\nBorderWidth 0\n' >"$work/twmrc"
    twm -f "$work/twmrc" >/dev/null 2>&1 &
    wm=$!
    sleep 1
fi
: >"$work/out"
"$build/wine-run-palette" "$build/palette_probe.exe" "$@" 10000 >"$work/out" &
probe=$!
i=0
until grep -q "^device context" "$work/out"; do
    [ $i -lt 150 ] || { cat "$work/out"; echo "the probe did not finish"; exit 1; }
    sleep 0.2
    i=$((i + 1))
done
window=$(xdotool search --name "^palette probe$" | head -1)
eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}')"
xdotool mousemove $((x + 200)) $((y + 200))
sleep 1
import -window "$window" "$work/window.png"
if xwininfo -id "$window" | grep -q 'Colormap.*(installed)'; then
    installed="the window's"
    cp "$work/window.png" "$work/screen.png"
else
    installed="the default"
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "400x400+$x+$y" +repage "$work/screen.png"
fi

# The centre pixel of each cell against the probe's own list of entries.
right() {
    convert "$1" -crop 256x256+40+40 +repage -depth 8 txt:- | awk -v out="$work/out" '
        BEGIN { while ((getline l < out) > 0) if (split(l, f, " ") >= 4 && f[1] == "entry") want[f[2] + 0] = f[4] }
        /^[0-9]/ {
            split($1, p, /[,:]/)
            if (p[1] % 16 == 8 && p[2] % 16 == 8 && tolower(substr($3, 2, 6)) == want[int(p[2] / 16) * 16 + int(p[1] / 16)])
                n++
        }
        END { print n + 0 }'
}
grep -v '^entry' "$work/out"
echo "X server, through the window's colour map: $(right "$work/window.png") of 256 entries right"
echo "screen, $installed colour map installed: $(right "$work/screen.png") of 256 entries right"
