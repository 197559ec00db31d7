#!/bin/sh
# The viewer on the 8-bit palette screen, read back from the X server and
# compared pixel by pixel with the pictures' own colours: the credits and
# help pages everywhere, and painting 4 wherever the Wine draws it.
#   palette_screen_test.sh BUILD_DIR SCRATCH_DIR   (under dev/with-wine.sh)
# A check that cannot run here is named, with why, on the output and, when
# ORB_NOT_RUN names a file, in that file (dev/test.sh lists them at its end).
#
# Wine shows a realised palette only when it draws straight to the X window
# (ClientSideGraphics off), and the screen shows it only when the window's
# colour map is installed, which a window manager does; a private colour map
# leaves 236 entries to palettes, as on Windows. In that setting Wine 8 draws
# no child window at all, so the viewer's painting stays black there; Wine
# 10 draws it (docs/palette.md has the figures).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
scratch=$2
export DISPLAY="${ORB_PALETTE_DISPLAY:?run through dev/with-wine.sh, which starts the 8-bit screen}"
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch"
run="$build/wine-run-palette"
fail() { echo "FAIL: $*"; exit 1; }
. "$root/tests/wait.sh"
wm="" viewer=""
cleanup() {
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# Wine's X11 driver reads each setting under the program's AppDefaults key
# before X11 Driver itself; either works on Wine 8 and 10, and this one
# leaves the prefix's other programs on Wine's defaults.
key='HKCU\Software\Wine\AppDefaults\orbvue.exe\X11 Driver'
"$run" reg add "$key" /v ClientSideGraphics /d N /f >/dev/null
"$run" reg add "$key" /v PrivateColorMap /d Y /f >/dev/null
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$run")
rm -f "$prefix/drive_c/windows/talvix.ini"     # the default names, from the set's folder
printf 'NoTitle\nUsePPosition "on"\nRandomPlacement\nBorderWidth 0\n' >twmrc
twm -f twmrc >twm.log 2>&1 &
wm=$!
# twm marks the root window once it has taken the screen.
wm_runs() {
    kill -0 "$wm" 2>/dev/null || fail "twm ended: $(cat twm.log)"
    xprop -root _MIT_PRIORITY_COLORS | grep -q CARDINAL
}
wait_until 60 "twm did not start within 60 s" wm_runs

(cd "$build/default-set" && exec "$run" "$build/orbvue.exe" 4) >viewer.log 2>&1 &
viewer=$!
viewer_window() { main=$(xdotool search --name '^Talvix Spheres$' 2>/dev/null | head -1) && [ -n "$main" ]; }
wait_until 120 "no viewer window within 120 s" viewer_window
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {print x, $4}'; }
set -- $(origin "$main")
mx=$1 my=$2

# Painting 4, drawn in the viewer at (145, 5) of the main window, with the
# pointer at (200, 150) of the viewer: the lens square's corner is then 50
# to the left of and above the pointer, (150, 100), and the square runs to
# (249, 199). Every other pixel must be the picture's own. Wine 10 draws the
# painting in that setting; Wine 8 draws no child window, and no Wine before
# 10 has been seen to.
version=$("$run" --version)
case $version in
wine-[0-9].*) painting="NOT RUN: $(basename "$build") palette_screen, painting 4 on the 8-bit screen: $version, before Wine 10, draws no child window with ClientSideGraphics off (docs/palette.md)" ;;
wine-*) painting="" ;;
*) fail "cannot tell which Wine this is: $version" ;;
esac
if [ -z "$painting" ]; then
    xdotool mousemove $((mx + 145 + 200)) $((my + 5 + 150))
    wait_until 60 "painting 4: not shown exactly in its own colours within 60 s" \
        shows "$scratch/painting.png" "$build/default-set/LIMAGE4.BMP" "$main" 145 5 0 "rectangle 150,100 249,199"
    echo "painting 4: all 170792 pixels outside the lens square in the painting's own colours"
else
    echo "$painting"
    [ -z "${ORB_NOT_RUN:-}" ] || echo "$painting" >>"$ORB_NOT_RUN"
fi

# A precondition, not a check of the viewer: a page can show exactly in its
# own colours only when those other than the twenty the system keeps in its
# palette (entries 0-9 and 246-255) fit in the 236 entries left to palettes.
# The pages are drawn by artwork/make_default_set.cpp.
statics="000000 800000 008000 808000 000080 800080 008080 c0c0c0 c0dcc0 a6caf0
fffbf0 a0a0a4 808080 ff0000 00ff00 ffff00 0000ff ff00ff 00ffff ffffff"
for page_file in LCREDITB.BMP LHELPB.BMP; do
    convert "$build/default-set/$page_file" -format %c histogram:info:- >histogram || fail "cannot read $page_file"
    own=$(awk -v statics="$statics" '
        BEGIN { n = split(statics, s, /[ \n]+/); for (i = 1; i <= n; i++) static[toupper(s[i])] = 1 }
        { for (i = 1; i <= NF; i++) if ($i ~ /^#/ && length($i) == 7) c = substr($i, 2); if (!(c in static)) own++ }
        END { print own + 0 }' histogram)
    [ "$own" -le 236 ] || fail "precondition: $page_file has $own colours besides the static ones, more than the 236 entries a palette gets"
done

# check_page NAME FILE BUTTON_X: opens the page with its button and compares
# what the screen shows with the picture.
check_page() {
    name=$1 file="$build/default-set/$2"
    xdotool mousemove $((mx + $3)) $((my + 457)) click 1
    wait_until 60 "$name: no picture window within 60 s" picture_window
    xdotool mousemove $((mx + 320)) $((my + 240))
    # Exact, and in colours of its own: the window manager installs the
    # page's colour map some time after the page shows.
    wait_until 60 "$name: not shown exactly in its own colours within 60 s" page_exact
    cp shown.png "$name.png"
    echo "$name: all 307200 pixels in the page's own colours"
    xdotool click 1
    wait_until 60 "$name: the picture window is still open 60 s after a click" picture_window_closed
}
picture_window() {
    page=$(xwininfo -root -tree | awk '/"orbvue.exe"/ && / 640x480\+/ {print $1}' |
        while read -r w; do [ $((w)) -eq "$main" ] || echo "$w"; done | head -1)
    [ -n "$page" ]
}
page_exact() {
    installed=no
    xwininfo -id "$page" | grep -q 'Colormap.*(installed)' && installed=yes
    shows "$scratch/shown.png" "$file" "$page" 0 0 && [ $installed = yes ] || { wait_detail="$wait_detail, colour map installed: $installed"; false; }
}
picture_window_closed() { ! xwininfo -id "$page" >/dev/null 2>&1; }
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }
check_page credits LCREDITB.BMP 539
check_page help LHELPB.BMP 576

xdotool mousemove $((mx + 613)) $((my + 457)) click 1
wait_until 60 "the exit button did not end the viewer within 60 s" viewer_ended
wait "$viewer" || fail "the viewer ended with code $?"
viewer=""
echo "palette screen: $([ -z "$painting" ] && echo "3 passed" || echo "2 passed, the painting not run"), 0 failed"
