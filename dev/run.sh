#!/bin/sh
# Starts the build's i686 orbvue.exe (the code that ships, unstripped) under
# 32-bit Wine in the folder of the default picture set, building only the
# viewer and the set first. With
# a display the window opens there and stays until you leave it; with none,
# a virtual display is started, the pointer is moved across the picture, a
# screenshot is saved and the viewer is ended. Where this machine cannot
# execute 32-bit code, it says so and runs the x86_64 build instead.
#   dev/run.sh [SCREENSHOT.png]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
. dev/build-quietly.sh
dev/install-deps.sh
preset=i686
if ! can_run_32bit; then
    preset=x64
    echo "This machine cannot execute 32-bit code: running the x86_64 build under 64-bit Wine instead."
fi
build="$root/build/$preset"
set_dir="$build/default-set"
shot=${1:-"$build/screenshot.png"}
case "$shot" in /*) ;; *) shot="$root/$shot" ;; esac

build_quietly $preset orbvue default_set || { echo "The build failed." >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting the viewer on $DISPLAY; leave it with its exit button."
    cd "$set_dir"
    exec "$build/wine-run" "$build/orbvue.exe"
fi

# No display: drive it on a virtual one, on the stained-glass window.
exec dev/with-wine.sh "$build" sh -c '
    set -eu
    cd "$1"
    "$2/wine-run" "$2/orbvue.exe" 8 &
    viewer=$!
    # Wait for the window: the screen stops being one black colour.
    i=0
    while [ $i -lt 100 ]; do
        colours=$(import -window root -format "%k" info: 2>/dev/null || echo 1)
        [ "$colours" -gt 1 ] && break
        sleep 0.2; i=$((i + 1))
    done
    sleep 1
    # The window is centred on the 1024 x 768 screen at (192, 144); the
    # viewer inside it at (145, 5). Sweep the lens across the picture.
    for x in 260 320 380 440 500 560 620 680 740; do
        xdotool mousemove $((x)) $((144 + 5 + 120 + (x - 260) / 4))
        sleep 0.05
    done
    xdotool mousemove 552 349
    sleep 1
    import -window root -crop 640x480+192+144 +repage "$3"
    xdotool mousemove 805 600 click 1    # the exit button
    wait $viewer || true
    echo "Screenshot of the viewer: $3"
' run "$set_dir" "$build" "$shot"
