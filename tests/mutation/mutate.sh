#!/bin/sh
# Mutation check of the test suite: applies each mutant of
# tests/mutation/mutants.txt to a scratch copy of the project, builds it and
# runs the suite on it; a mutant is killed when any test fails. Prints
# a line a mutant, killed (with what killed it: the first test that failed,
# since the suite stops there, or the fuzz replay) or survived, and a final
# score line.
#   tests/mutation/mutate.sh [-a x64|i686] [-o OUT] [ID...]   (default: x64, every mutant)
# The scratch copy and its build stay in OUT (default build/mutants), so a
# second run rebuilds only what changed since the first and what each
# mutant changes.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=x64
out="$root/build/mutants"
while getopts a:o: opt; do
    case $opt in
    a) arch=$OPTARG ;;
    o) out=$OPTARG ;;
    *) echo "usage: tests/mutation/mutate.sh [-a x64|i686] [-o OUT] [ID...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
list="$root/tests/mutation/mutants.txt"
src="$out/main"
mkdir -p "$out"
case "$out" in /*) ;; *) out="$(pwd)/$out"; src="$out/main" ;; esac

# The committed and working files, unpacked beside the copy; only those
# whose bytes differ from the copy's (a changed source, or a mutant an
# interrupted run left) are copied over, with a new time, so the build
# remakes what they feed and nothing else.
rm -rf "$out/files"
mkdir -p "$src" "$out/files"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar cf -) | (cd "$out/files" && tar xf -)
(cd "$out/files" && find . -type f) | while IFS= read -r f; do
    cmp -s "$out/files/$f" "$src/$f" && continue
    mkdir -p "$(dirname "$src/$f")"
    cp "$out/files/$f" "$src/$f"
done
rm -rf "$out/files"
# The BMP corpus beside the copy, as beside the checkout.
ln -sfn "$(cd "$root/.." && pwd)/shared" "$out/shared"
cd "$src"
. dev/arch.sh
cmake --preset "$arch" >/dev/null

# The suite on the copy: every test of the build up to the first that
# fails (1), then the fuzz corpus (4); 3 when the copy does not build.
suite() {
    cmake --build --preset "$arch" >"$out/build.log" 2>&1 || return 3
    dev/with-wine.sh "build/$arch" ctest --preset "$arch" --stop-on-failure >"$out/test.log" 2>&1 || return 1
    tests/fuzz/fuzz.sh replay >"$out/fuzz.log" 2>&1 || return 4
    return 0
}

# Mutant IDs in file order, or those asked for.
ids=${*:-$(sed -n 's/^== \([^ ]*\).*/\1/p' "$list")}

# Prints the field of mutant $1: file (@), before (-) or after (+).
field() {
    awk -v id="$1" -v tag="$2" '
        /^== / { on = ($2 == id); next }
        on && substr($0, 1, 2) == tag " " { print substr($0, 3); exit }' "$list"
}

# Replaces the one occurrence of $2 in file $1 with $3; fails when the text
# occurs other than once.
replace() {
    FROM=$2 TO=$3 perl -0777 -i -pe '
        $n = () = /\Q$ENV{FROM}\E/g;
        die "occurs $n times\n" if $n != 1;
        s/\Q$ENV{FROM}\E/$ENV{TO}/' "$1"
}

echo "unmutated suite ($arch)..."
if ! suite; then
    echo "the suite fails without any mutant; see $out/test.log" >&2
    exit 1
fi
killed=0 total=0 survivors=""
for id in $ids; do
    file=$(field "$id" @)
    before=$(field "$id" -)
    after=$(field "$id" +)
    [ -n "$file" ] || { echo "$id: no such mutant" >&2; exit 2; }
    cp "$file" "$out/original"
    if ! replace "$file" "$before" "$after" 2>"$out/replace.log"; then
        echo "$id: does not apply to $file ($(cat "$out/replace.log"))" >&2
        exit 2
    fi
    total=$((total + 1))
    set +e
    suite
    result=$?
    set -e
    cp "$out/original" "$file"
    touch "$file"
    case $result in
    0) echo "survived  $id"; survivors="$survivors $id" ;;
    3) echo "$id does not compile; see $out/build.log" >&2; exit 2 ;;
    4) killed=$((killed + 1)); echo "killed    $id (by the fuzz replay; see $out/fuzz.log)" ;;
    *)
        killed=$((killed + 1))
        by=$(sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$out/test.log")
        echo "killed    $id (by ${by:-a failure outside the tests; see $out/test.log})"
        ;;
    esac
done
echo "score: $killed of $total mutants killed ($arch suite)${survivors:+; survivors:$survivors}"
