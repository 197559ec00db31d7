#!/bin/sh
# Runs the README's two commands as a new user would, on a fresh Debian:
# a minimal root of RELEASE made by debootstrap, the checkout's tracked files
# and ../shared copied into a copy of it, then, as root in that root,
# dev/run.sh and dev/test.sh. The pristine root is kept in the cache, so a
# second run downloads no system again; each run works on a copy of it,
# removed at the end. The .deb files the commands download are kept in the
# cache too and put into the next copy, so apt need not fetch them again.
#   dev/fresh-root.sh [--test-only] [--keep] RELEASE     (bookworm, trixie, ...)
#   --test-only  run only dev/test.sh         (or FRESH_ROOT_TEST_ONLY=1)
#   --keep       keep the copy for a look     (or FRESH_ROOT_KEEP=1)
#   FRESH_ROOT_CACHE   where the pristine roots are kept (/var/cache/orbvue-dev/fresh-root)
#   FRESH_ROOT_MIRROR  the Debian archive (http://deb.debian.org/debian)
# Needs root and debootstrap. Exit status: 0 when both commands passed.
set -eu
test_only=${FRESH_ROOT_TEST_ONLY:-0}
keep=${FRESH_ROOT_KEEP:-0}
cache=${FRESH_ROOT_CACHE:-/var/cache/orbvue-dev/fresh-root}
mirror=${FRESH_ROOT_MIRROR:-http://deb.debian.org/debian}
usage="usage: dev/fresh-root.sh [--test-only] [--keep] RELEASE   (a Debian release name: bookworm, trixie, ...)"
release=""
for arg; do
    case "$arg" in
    --test-only) test_only=1 ;;
    --keep) keep=1 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) [ -z "$release" ] || { echo "$usage" >&2; exit 2; }; release=$arg ;;
    esac
done
fail() { echo "fresh-root: $*" >&2; exit 2; }
unmount_under() { # DIR: unmounts whatever is mounted below DIR, deepest first
    grep -o " $1/[^ ]*" /proc/mounts | sort -r | while read -r m; do umount -l "$m" || true; done
}
[ -n "$release" ] || { echo "$usage" >&2; exit 2; }
echo "$release" | grep -qx '[a-z][a-z0-9-]*' || fail "'$release' is not a Debian release name (bookworm, trixie, ...)"
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mounts); run it as root or with sudo"
command -v debootstrap >/dev/null || fail "debootstrap is not installed (apt-get install debootstrap)"
root=$(cd "$(dirname "$0")/.." && pwd)

started=$(date +%s)
step_start=$started
step() { # NAME: prints how long the step that ends here took
    now=$(date +%s)
    echo "== [$release] $1: $((now - step_start)) s"
    step_start=$now
}

# The pristine root: made once, under a temporary name, renamed when
# debootstrap succeeded, so a failed or interrupted run leaves nothing that
# looks finished. One run at a time makes it (the lock).
mkdir -p "$cache"
pristine="$cache/$release"
exec 9>"$cache/.lock"
flock 9
if [ ! -d "$pristine" ]; then
    # Ask the archive first, to tell a misspelt release from a missing network.
    if ! wget -q -O /dev/null "$mirror/dists/$release/Release"; then
        wget -q -O /dev/null "$mirror/dists/stable/Release" ||
            fail "cannot reach the Debian archive $mirror (no network?)"
        fail "the Debian archive $mirror has no release '$release'"
    fi
    # A release newer than this debootstrap is made with its newest script.
    script=/usr/share/debootstrap/scripts/$release
    [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
    partial="$cache/$release.partial"
    # A partial root of a run that died: nothing of it is used.
    if [ -e "$partial" ]; then
        unmount_under "$partial"
        rm -rf --one-file-system "$partial"
    fi
    echo "== [$release] making the pristine root with debootstrap (once per machine)"
    trap 'unmount_under "$partial"; rm -rf --one-file-system "$partial"; fail "interrupted; the partial root is removed"' INT TERM
    if ! debootstrap --variant=minbase "$release" "$partial" "$mirror" "$script" >"$cache/$release.debootstrap.log" 2>&1; then
        tail -n 5 "$cache/$release.debootstrap.log" >&2
        # debootstrap may leave its own mounts behind when it fails.
        unmount_under "$partial"
        rm -rf --one-file-system "$partial"
        fail "debootstrap of '$release' failed; its log is $cache/$release.debootstrap.log"
    fi
    mv "$partial" "$pristine"
    trap - INT TERM
    step "debootstrap"
else
    echo "== [$release] the pristine root is cached: $pristine"
fi
flock -u 9

# The copy, with the checkout's tracked files (as they are in the working
# tree, uncommitted changes included; build/ is not tracked) and ../shared.
work=$(mktemp -d "/var/tmp/orbvue-$release.XXXXXX")
r="$work/root"
mounted=0
cleanup() {
    code=$?
    trap - EXIT INT TERM
    set +e
    # What the commands left running in the copy (a display, a wineserver)
    # holds its mounts: end those processes, by their process id.
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$r" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    [ $mounted -eq 0 ] || unmount_under "$r"
    if grep -q " $r/" /proc/mounts; then
        echo "fresh-root: something is still mounted under $r; it is left in place" >&2
        code=2
    elif [ "$keep" = 1 ]; then
        echo "== [$release] the copy is kept: $r"
    else
        rm -rf --one-file-system "$work"
    fi
    exit $code
}
trap cleanup EXIT
trap 'echo "fresh-root: interrupted" >&2; exit 130' INT TERM
cp -a "$pristine" "$r"
mkdir -p "$r/work/orbvue"
if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$root" && git ls-files -z --cached | tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$r/work/orbvue"
else
    tar -C "$root" --exclude=./build -cf - . | tar -xf - -C "$r/work/orbvue"
fi
if [ -d "$root/../shared" ]; then
    # What it points to where it is a symbolic link (or holds some): the
    # root sees nothing outside itself.
    cp -aL "$root/../shared" "$r/work/shared"
else
    echo "== [$release] no ../shared beside the checkout: the corpus checks will be skipped"
fi
cp /etc/resolv.conf "$r/etc/resolv.conf"
debs="$cache/$release-debs"
mkdir -p "$debs"
# Links where the file system allows, copies where not; each copy has
# archives of its own, so runs side by side do not share apt's lock.
rm -f "$r"/var/cache/apt/archives/*.deb
find "$debs" -name '*.deb' -exec cp -l -t "$r/var/cache/apt/archives" {} + 2>/dev/null ||
    find "$debs" -name '*.deb' -exec cp -t "$r/var/cache/apt/archives" {} +
mount -t proc proc "$r/proc"
mounted=1
# Slaves, so that unmounting them at the end cannot reach the host's own
# (where the host's mounts are shared, as under systemd).
mount --rbind /dev "$r/dev"
mount --make-rslave "$r/dev"
mount --rbind /sys "$r/sys"
mount --make-rslave "$r/sys"
step "copy"

# The commands, as a new user starts them: as root, in the checkout, with a
# plain environment and no display.
status=0
run() { # NAME: runs dev/NAME.sh in the copy
    echo "== [$release] dev/$1.sh"
    # Waited for in the background, so that an interrupt ends the run at
    # once instead of when the command ends.
    chroot "$r" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        sh -c "cd /work/orbvue && dev/$1.sh" &
    if wait $!; then
        step "dev/$1.sh passed"
    else
        step "dev/$1.sh FAILED (exit status $?)"
        status=1
    fi
}
[ "$test_only" = 1 ] || run run
run test
find "$r/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -ln -t "$debs" {} + 2>/dev/null ||
    find "$r/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n -t "$debs" {} + 2>/dev/null || true
now=$(date +%s)
echo "== [$release] all: $((now - started)) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
