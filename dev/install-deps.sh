#!/bin/sh
# Installs the Debian packages the build, the tests, the benchmarks, the
# release and its reproducibility check (diffoscope-minimal) need, when any
# is missing, on Debian 12 (bookworm) and Debian 13 (trixie). Needs root
# (or sudo). With --update, the package lists are read anew first even
# when nothing is missing. The 32-bit Wine loader comes from Debian's
# i386 architecture, added when it is not there.
set -eu
packages="cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386
xvfb xdotool imagemagick clang libwine-dev nsis zip unzip python3
libx11-dev libxtst-dev libxdamage-dev twm x11-utils"
# Installed without the packages they recommend: diffoscope-minimal
# recommends a tool for every format it knows (ffmpeg, R, Android's among
# them); for PE files and zips it needs none of them.
lean="diffoscope-minimal"
# The fuzz script's sanitizers need the runtime of the release's own clang,
# whose package carries clang's version in its name (libclang-rt-14-dev on
# Debian 12, -19- on 13): the version is the one the clang package depends
# on, read from the installed package or, before that, from the archive.
clang_runtime() {
    v=$({ dpkg-query -W -f='${Depends}\n' clang 2>/dev/null || true
          apt-cache show --no-all-versions clang 2>/dev/null | sed -n 's/^Depends://p'; } |
        grep -o 'clang-[0-9][0-9]*' | head -n 1 | cut -d- -f2)
    [ -z "$v" ] || echo "libclang-rt-$v-dev"
}
missing() {
    runtime=$(clang_runtime)
    for p in $packages $lean ${runtime:-clang-runtime-unknown}; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# The package lists, read anew. A mirror caught in the middle of a sync
# serves a list that does not match its index ("File has unexpected size"),
# and apt keeps the old one: a failed update is tried again, and then the
# lists apt has are used; an install that cannot be done with them fails.
update() {
    for try in 1 2 3; do
        $sudo apt-get update -q && return 0
        [ $try -lt 3 ] || break
        echo "install-deps: apt-get update failed (try $try of 3); trying again in 30 s" >&2
        sleep 30
    done
    echo "install-deps: apt-get update failed 3 times; going on with the package lists apt has" >&2
}
# --update: the lists are read anew even when nothing is missing.
[ "${1:-}" != --update ] || update
[ -n "$(missing)" ] || exit 0
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
[ "${1:-}" = --update ] || update
[ -n "$(clang_runtime)" ] || { echo "install-deps: the package archive has no clang package" >&2; exit 1; }
missing=$(missing | tr '\n' ' ')
echo "Installing: $missing"
full=$(for p in $missing; do case " $lean " in *" $p "*) ;; *) echo "$p" ;; esac; done)
# shellcheck disable=SC2086
[ -z "$full" ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $full
for p in $lean; do
    case " $missing " in
    *" $p "*) DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$p" ;;
    esac
done
