#!/bin/sh
# The product must be a 32-bit Windows GUI program that old 32-bit Windows
# loads: PE32 for the i386, the GUI subsystem at version 4.0 or lower (a
# loader refuses a program that asks for a newer Windows than itself), no
# delay-loaded imports, and nothing imported but the functions named in
# tests/product/allowed-imports.txt, each one there since Windows 98 and
# NT 4.0.
#   tests/product/check-product.sh build/i686/orbvue.exe [ALLOWED_LIST]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1
allowed=${2:-"$root/tests/product/allowed-imports.txt"}
dump=$(i686-w64-mingw32-objdump -p "$exe") || { echo "FAIL: $exe is no PE file"; exit 1; }
field() { echo "$dump" | sed -n "s/^$1[[:space:]]*//p"; }
status=0
bad() { echo "FAIL: $exe $*"; status=1; }

[ "$(field Magic | cut -c1-4)" = 010b ] || bad "is not PE32"
echo "$dump" | grep -q "file format pei-i386" || bad "is not for the i386"
[ "$(field Subsystem | cut -c1-8)" = 00000002 ] || bad "is not a GUI program"
major=$(field MajorSubsystemVersion) minor=$(field MinorSubsystemVersion)
[ "$major" -lt 4 ] || { [ "$major" -eq 4 ] && [ "$minor" -eq 0 ]; } ||
    bad "asks for Windows $major.$minor or later; it must load on 4.0"
echo "$dump" | grep -q "^Entry d 00000000 00000000 Delay Import Directory" || bad "has delay-loaded imports"

# One "dll function" a line, DLL names in lower case; an import by ordinal
# has no name and shows as "#N".
imports=$(echo "$dump" | awk '
    /DLL Name:/ { dll = tolower($3) }
    /^\t[0-9a-f]+\t/ { if (NF >= 3) print dll, $3; else print dll, "#" $2 }' | sort -u)
[ -n "$imports" ] || bad "shows no imports"
extra=$(echo "$imports" | awk 'NR == FNR { if (NF && $1 !~ /^#/) ok[$1 " " $2] = 1; next } !($0 in ok)' "$allowed" -)
echo "$extra" | while read -r dll name; do
    [ -z "$dll" ] || echo "FAIL: $exe imports $dll $name, which is not in $allowed"
done
[ -z "$extra" ] || status=1
[ $status -eq 0 ] || exit 1
echo "$exe: PE32 GUI program for Windows $major.$minor, $(echo "$imports" | wc -l) imports, all allowed"
