#!/bin/sh
# The credits and help pages on the 8-bit palette screen, read back from the
# X server and compared pixel by pixel with the pages' own colours.
#   palette_screen_test.sh BUILD_DIR SCRATCH_DIR   (under dev/with-wine.sh)
#
# Wine shows a realised palette only when it draws straight to the X window
# (ClientSideGraphics off), and the screen shows it only when the window's
# colour map is installed, which a window manager does; a private colour map
# leaves 236 entries to palettes, as on Windows. In that setting Wine draws
# no child window at all, so the viewer's painting cannot be checked here:
# docs/palette.md has the figures.
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

# The twenty colours the system keeps in its palette (entries 0-9 and
# 246-255); every other colour needs an entry of the 236 left to palettes.
statics="000000 800000 008000 808000 000080 800080 008080 c0c0c0 c0dcc0 a6caf0
fffbf0 a0a0a4 808080 ff0000 00ff00 ffff00 0000ff ff00ff 00ffff ffffff"

# check_page NAME FILE BUTTON_X: opens the page with its button and compares
# what the screen shows with the picture.
check_page() {
    name=$1 file="$build/default-set/$2"
    convert "$file" -format %c histogram:info:- | awk -v statics="$statics" '
        BEGIN { n = split(statics, s, /[ \n]+/); for (i = 1; i <= n; i++) static[toupper(s[i])] = 1 }
        { for (i = 1; i <= NF; i++) if ($i ~ /^#/ && length($i) == 7) c = substr($i, 2); p = $1 + 0
          colours++; if (c in static) { kept++; keptPixels += p } }
        END { printf "%d %d %d\n", colours, kept, keptPixels }' >counts
    read -r colours kept keptPixels <counts
    [ $((colours - kept)) -le 236 ] || fail "$name: $((colours - kept)) colours cannot all get palette entries"

    xdotool mousemove $((mx + $3)) $((my + 457)) click 1
    wait_until 60 "$name: no page window within 60 s" page_window
    xdotool mousemove $((mx + 320)) $((my + 240))
    # Exact, and in colours of its own: the window manager installs the
    # page's colour map some time after the page shows.
    wait_until 60 "$name: not shown exactly in its own colours within 60 s" page_exact
    cp shown.png "$name.png"
    echo "$name: all 307200 pixels in the page's own colours; $colours colours, $kept of them the system's own" \
        "static colours ($keptPixels pixels), the other $((colours - kept)) in entries of their own"
    xdotool click 1
    wait_until 60 "$name: the page is still open 60 s after a click" page_closed
}
page_window() {
    page=$(xwininfo -root -tree | awk '/"orbvue.exe"/ && / 640x480\+/ {print $1}' |
        while read -r w; do [ $((w)) -eq "$main" ] || echo "$w"; done | head -1)
    [ -n "$page" ]
}
page_exact() {
    import -window "$page" shown.png 2>/dev/null || true
    differ=$(compare -metric AE "$file" shown.png null: 2>&1 || true)
    installed=no
    xwininfo -id "$page" | grep -q 'Colormap.*(installed)' && installed=yes
    wait_detail="$differ of 307200 pixels differ (see $scratch/shown.png), colour map installed: $installed"
    [ "$differ" = 0 ] && [ $installed = yes ]
}
page_closed() { ! xwininfo -id "$page" >/dev/null 2>&1; }
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }
check_page credits LCREDITB.BMP 539
check_page help LHELPB.BMP 576

xdotool mousemove $((mx + 613)) $((my + 457)) click 1
wait_until 60 "the exit button did not end the viewer within 60 s" viewer_ended
wait "$viewer" || fail "the viewer ended with code $?"
viewer=""
echo "palette screen: 2 passed, 0 failed"
