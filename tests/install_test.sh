#!/bin/sh
# The release as people get it, under Wine, in fresh Windows prefixes made
# for each run: a 32-bit Windows, and a 64-bit one where the viewer runs
# under WoW64. In each, the zip is unpacked into a fresh folder and started
# from there; then the installer runs silently, its files, shortcut and
# uninstall entry are checked, the viewer is started as the shortcut starts
# it, and the uninstaller runs silently. Every start must show painting 1
# with the lens under the pointer (read back from a screenshot) and end by
# the exit button with code 0, writing nothing. talvix.ini is the menu
# program's file: absent, nothing may create it; written before the
# install, it must come out of the uninstall byte for byte the same.
#   install_test.sh BUILD_DIR SCRATCH_DIR
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$2" && mkdir -p "$2" && cd "$2"
scratch=$(pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
checks=0
fail() { echo "FAIL: $*"; echo "install: $checks passed, 1 failed"; exit 1; }
pass() { checks=$((checks + 1)); echo "ok: $*"; }

# A display of its own, so that no other test moves the pointer or covers
# the window while this one reads the screen back.
. "$root/dev/xvfb.sh"
. "$root/tests/wait.sh"
xvfb_pid="" prefixes="" viewer=""
cleanup() {
    [ -z "$viewer" ] || kill "$viewer" 2>/dev/null || true
    for p in $prefixes; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 1' INT TERM
start_xvfb -screen 0 1024x768x24 || fail "no virtual X display"
export DISPLAY="$xvfb_display"

# The release files, made from this build as dev/release.sh makes them. In
# a copy of the tree that is no git checkout, they carry the test's time.
git -C "$root" rev-parse --git-dir >/dev/null 2>&1 || export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(date +%s)}"
files=$(sh "$root/packaging/package.sh" "$build" "$scratch/release") || fail "packaging failed"
zip=$(echo "$files" | sed -n 1p) setup=$(echo "$files" | sed -n 2p)
version=$(cat "$build/version.txt")
[ "$(basename "$zip")" = "orbvue-$version-win32.zip" ] && [ "$(basename "$setup")" = "orbvue-$version-setup.exe" ] ||
    fail "release file names: $zip $setup"
# The zip holds one folder: the program, its two texts (CRLF) and the whole
# default picture set.
(ls "$build/default-set"; echo LICENSE.txt; echo README.txt; echo orbvue.exe) | sort >"$scratch/expected.txt"
unzip -Z1 "$zip" | sed -n "s|^orbvue-$version/\(.\)|\1|p" | sort >"$scratch/listed.txt"
[ "$(unzip -Z1 "$zip" | grep -cv "^orbvue-$version/")" -eq 0 ] && cmp -s "$scratch/expected.txt" "$scratch/listed.txt" ||
    fail "the zip's files: $(diff "$scratch/expected.txt" "$scratch/listed.txt")"
for f in README.txt LICENSE.txt; do
    unzip -p "$zip" "orbvue-$version/$f" | awk '!/\r$/ { bad = 1 } END { exit bad }' || fail "$f has lines without CRLF"
done
pass "the zip holds orbvue-$version/ with $(wc -l <"$scratch/listed.txt") files, the texts in CRLF"

# What is in a folder, by name and content: a start must leave it as it was.
contents() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }

shows_window() {
    kill -0 "$viewer" 2>/dev/null || fail "$label: the viewer ended without a window"
    xdotool search --onlyvisible --name '^Talvix Spheres$' >/dev/null 2>&1
}
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }
# Whether the screen shows painting 1 with the lens in its square: outside
# it the painting's file pixel for pixel, inside it mostly changed.
shows_painting() {
    shows "$shot" "$folder/LIMAGE1.BMP" root $((192 + 145)) $((144 + 5)) 0 "$square" || return 1
    shows "$scratch/square.png" "$scratch/painting-square.png" root $((192 + 145 + 190)) $((144 + 5 + 100)) 10000
    wait_detail="the painting outside the lens, but only $differ of the 10000 pixels inside changed"
    [ "$differ" -gt 5000 ] 2>/dev/null
}

# view LABEL LOADER PREFIX FOLDER EXE: starts EXE with FOLDER as the current
# folder, moves the pointer over the painting, compares the screen with the
# painting's file and leaves by the exit button.
view() {
    label=$1 loader=$2 prefix=$3 folder=$4 exe=$5
    before=$(contents "$folder")
    (cd "$folder" && WINEPREFIX=$prefix exec "$loader" "$exe") &
    viewer=$!
    wait_until 120 "$label: no viewer window after 120 s" shows_window
    # The window is centred on the 1024 x 768 screen at (192, 144), the
    # viewer at (145, 5) in it. The pointer at viewer point (240, 150) puts
    # the lens square at 190 ... 289 x 100 ... 199: outside it the screen is
    # the painting's file, pixel for pixel; inside, the glass changes most
    # pixels (measured: 7448 of the 10000 on this painting).
    xdotool mousemove 100 100 mousemove 577 299
    shot=$scratch/$label.png square="rectangle 190,100 289,199"
    convert "$folder/LIMAGE1.BMP" -crop 100x100+190+100 +repage "$scratch/painting-square.png"
    wait_until 120 "$label: the screen is not painting 1 with the lens at the pointer (see $shot)" shows_painting
    xdotool mousemove 802 599 click 1    # the exit button, main-window (610, 455)
    wait_until 120 "$label: the exit button did not end the viewer within 120 s" viewer_ended
    code=0
    wait $viewer || code=$?
    viewer=""
    [ $code -eq 0 ] || fail "$label: the exit button ended the viewer with code $code"
    [ "$(contents "$folder")" = "$before" ] || fail "$label: the viewer changed its folder"
    pass "$label: painting 1 with the lens under the pointer, exit code 0 ($shot)"
}

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\orbvue'
for arch in win32 win64; do
    prefix=$scratch/prefix-$arch
    prefixes="$prefixes $prefix"
    if [ $arch = win32 ]; then
        loader=/usr/lib/wine/wine program_dir='C:\Program Files\orbvue'
        WINEARCH=win32 WINEPREFIX=$prefix timeout 300 $loader wineboot -i >/dev/null 2>&1 || fail "$arch: wineboot"
    else
        loader=/usr/lib/wine/wine64 program_dir='C:\Program Files (x86)\orbvue'
        WINEPREFIX=$prefix timeout 300 $loader wineboot -i >/dev/null 2>&1 || fail "$arch: wineboot"
    fi
    WINEPREFIX=$prefix timeout 300 wineserver -w || fail "$arch: Wine did not settle within the time"
    ini=$prefix/drive_c/windows/talvix.ini
    [ ! -e "$ini" ] || fail "$arch: a fresh prefix has talvix.ini"

    # The zip, unpacked into a fresh folder whose name has a blank.
    unpacked="$scratch/$arch unpacked"
    mkdir "$unpacked" && (cd "$unpacked" && unzip -q "$zip") || fail "$arch: unzip"
    view "$arch-zip" $loader "$prefix" "$unpacked/orbvue-$version" orbvue.exe
    [ ! -e "$ini" ] || fail "$arch: the viewer created talvix.ini"

    # The menu program's settings: CRLF, a comment, its own [Menu] run (the
    # hand-off disarmed) and keys of its own.
    printf '; settings of the menu program\r\n[Menu]\r\nrun=talvix menu\r\nReturn=ORBVUE 3\r\n[Lens]\r\nRootdir=\r\n1=tour.exe 1\r\n[Sound]\r\nvolume = 7\r\n' >"$ini"
    cp "$ini" "$scratch/talvix.ini.before"

    WINEPREFIX=$prefix timeout 120 $loader "$setup" /S || fail "$arch: the installer failed"
    WINEPREFIX=$prefix timeout 120 wineserver -w || fail "$arch: Wine did not settle within the time"
    installed=$(WINEPREFIX=$prefix $loader winepath -u "$program_dir")
    installed=${installed%/}
    diff -r -x uninstall.exe "$unpacked/orbvue-$version" "$installed" >"$scratch/diff.log" 2>&1 ||
        fail "$arch: the installed files differ from the zip's: $(cat "$scratch/diff.log")"
    [ -f "$installed/uninstall.exe" ] || fail "$arch: no uninstall.exe"
    lnk="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/orbvue.lnk"
    python3 "$root/tests/read_lnk.py" "$lnk" >"$scratch/lnk.txt" || fail "$arch: no readable shortcut"
    target=$(sed -n 1p "$scratch/lnk.txt") workdir=$(sed -n 2p "$scratch/lnk.txt")
    [ "$target" = "$program_dir\\orbvue.exe" ] || fail "$arch: the shortcut's target is '$target'"
    [ "$workdir" = "$program_dir" ] || fail "$arch: the shortcut starts in '$workdir'"
    # The uninstall entry, in the 32-bit view of the registry where a 32-bit
    # program's belongs.
    WINEPREFIX=$prefix $loader reg query "HKLM\\$uninstall_key" /reg:32 >"$scratch/entry.raw" ||
        fail "$arch: no uninstall entry"
    tr -d '\r' <"$scratch/entry.raw" >"$scratch/entry.txt"
    for line in "DisplayName    REG_SZ    orbvue $version" "DisplayVersion    REG_SZ    $version" \
        "UninstallString    REG_SZ    \"$program_dir\\uninstall.exe\"" \
        "QuietUninstallString    REG_SZ    \"$program_dir\\uninstall.exe\" /S"; do
        grep -qxF "    $line" "$scratch/entry.txt" || fail "$arch: the uninstall entry lacks '$line': $(cat "$scratch/entry.txt")"
    done
    pass "$arch: installed into $program_dir, shortcut and uninstall entry in place"

    view "$arch-installed" $loader "$prefix" "$(WINEPREFIX=$prefix $loader winepath -u "$workdir")" "$target"

    # The uninstaller as the system's list of programs runs it, silently.
    uninstaller=$(sed -n 's/^    UninstallString    REG_SZ    "\(.*\)"$/\1/p' "$scratch/entry.txt")
    WINEPREFIX=$prefix timeout 120 $loader "$uninstaller" /S || fail "$arch: the uninstaller failed"
    WINEPREFIX=$prefix timeout 120 wineserver -w || fail "$arch: Wine did not settle within the time"
    [ ! -e "$installed" ] || fail "$arch: the program folder is still there: $(ls "$installed")"
    [ ! -e "$lnk" ] || fail "$arch: the shortcut is still there"
    if WINEPREFIX=$prefix $loader reg query "HKLM\\$uninstall_key" /reg:32 >/dev/null 2>&1; then
        fail "$arch: the uninstall entry is still there"
    fi
    cmp "$ini" "$scratch/talvix.ini.before" || fail "$arch: talvix.ini changed"
    pass "$arch: uninstalled; folder, shortcut and entry gone, talvix.ini as it was"
    # Each prefix is over half a gigabyte: only the screenshots are kept.
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix" "$unpacked"
done
echo "install: $checks passed, 0 failed"
