#!/bin/sh
# Checks that a release can be made again bit for bit: dev/release.sh runs
# twice, one run after the other, each in a fresh copy of this checkout (its
# last commit plus its uncommitted changes to tracked files; untracked files
# are no part of a release) in folders of other names and depths, with
# another time zone, umask, locale, home folder and user name, and
# SOURCE_DATE_EPOCH unset, so each takes it from git. A tree that is no git
# checkout (as dev/fresh-root.sh makes) is copied whole but for build/, and
# both runs get the check's start as SOURCE_DATE_EPOCH. Then the release files
# and what went into them (the unstripped orbvue.exe, the pictures) are
# compared byte for byte; for each file that differs, diffoscope says where
# (its whole report is kept beside). Where 32-bit code runs, the x86_64
# build's default set is compared with the i686 one the releases ship.
#   dev/check-reproducible.sh [WORK_DIR]     (build/reproducible by default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. dev/arch.sh
fail() { echo "reproducible: $*" >&2; exit 1; }
dev/install-deps.sh
work=${1:-build/reproducible}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
if git rev-parse --git-dir >/dev/null 2>&1; then
    commit=$(git rev-parse HEAD)
    git diff HEAD --binary >"$work/uncommitted.patch"
    epoch=""
else
    epoch=$(date +%s)
    echo "reproducible: no git checkout: both releases get SOURCE_DATE_EPOCH=$epoch"
fi

# copy DIR: this checkout, as a release sees it, in a new folder DIR.
copy() {
    if [ -z "$epoch" ]; then
        git clone -q --shared --no-checkout "$root" "$1"
        git -C "$1" checkout -q --detach "$commit"
        [ ! -s "$work/uncommitted.patch" ] || git -C "$1" apply "$work/uncommitted.patch"
    else
        mkdir -p "$1"
        tar -C "$root" --exclude=./build -cf - . | tar -xf - -C "$1"
    fi
}
# release LABEL DIR TZ UMASK LOCALE: a release made in a new copy at DIR.
release() {
    label=$1 dir=$2
    copy "$dir"
    mkdir -p "$work/home-$label"
    started=$(date +%s)
    (cd "$dir" && umask "$4" && env -u SOURCE_DATE_EPOCH ${epoch:+SOURCE_DATE_EPOCH=$epoch} TZ="$3" LC_ALL="$5" LANG="$5" \
        HOME="$work/home-$label" USER="builder-$label" LOGNAME="builder-$label" dev/release.sh "$dir/out") \
        >"$work/release-$label.log" 2>&1 || {
        cat "$work/release-$label.log" >&2
        fail "the release in $dir failed"
    }
    echo "== release $label: $(($(date +%s) - started)) s, in $dir, TZ=$3, umask $4, LC_ALL=$5"
}
a=$work/a/orbvue
b=$work/second-folder/deeper/orbvue-again
release a "$a" UTC 022 C
# UTC+14 in POSIX form, which needs no time zone database.
release b "$b" '<+14>-14' 077 C.UTF-8

# The same names in both, then the same bytes.
set_dir=build/i686/default-set
can_run_32bit || set_dir=build/x64/default-set
# What went in first, so the first difference named is nearest its cause.
list() { (cd "$1" && echo build/i686/orbvue.exe && ls "$set_dir" | sed "s|^|$set_dir/|" && ls out | sed "s|^|out/|"); }
list "$a" >"$work/files-a.txt"
list "$b" >"$work/files-b.txt"
cmp -s "$work/files-a.txt" "$work/files-b.txt" ||
    fail "the two releases hold other files: $(diff "$work/files-a.txt" "$work/files-b.txt")"
differ=0
while read -r f; do
    cmp -s "$a/$f" "$b/$f" && continue
    differ=$((differ + 1))
    report="$work/diffoscope-$(echo "$f" | tr / -).txt"
    echo "DIFFERS: $f (diffoscope's report: $report)"
    diffoscope --no-progress --text "$report" "$a/$f" "$b/$f" >/dev/null 2>&1 || true
    # Where: the members, hunks and changed lines of the report.
    if [ -s "$report" ]; then
        grep -E '^(│ )*(├── |@@ |[-+])' "$report" | cut -c1-160 | head -n 16
    else
        cmp -l "$a/$f" "$b/$f" | head -n 10
    fi
done <"$work/files-a.txt"
checked=$(wc -l <"$work/files-a.txt")

# The i686 generator's set against the x86_64 one, in the second copy.
if can_run_32bit; then
    (cd "$b" && . dev/build-quietly.sh && build_quietly x64 default_set) || fail "the x86_64 default set could not be made"
    for f in "$b/build/i686/default-set"/*; do
        cmp -s "$f" "$b/build/x64/default-set/${f##*/}" && continue
        differ=$((differ + 1))
        echo "DIFFERS: ${f##*/} of the default set made by the i686 and the x86_64 build"
    done
    checked=$((checked + $(ls "$b/build/i686/default-set" | wc -l)))
else
    line="NOT RUN: the i686 build's default set against the x86_64 one's: this machine cannot execute 32-bit code; both releases took their pictures from the x86_64 build"
    echo "$line"
    # The test command lists it with the other checks that did not run.
    [ -z "${ORB_NOT_RUN:-}" ] || echo "$line" >>"$ORB_NOT_RUN"
fi
if [ "$differ" -ne 0 ]; then
    echo "reproducible: $differ of $checked comparisons differ; the two copies are kept in $work" >&2
    exit 1
fi
cat "$a/out/SHA256SUMS"
# The copies are large (each has its own Wine prefixes): only the logs stay.
rm -rf "$work/a" "$work/second-folder" "$work"/home-*
echo "reproducible: passed, $checked comparisons, every one the same bytes"
