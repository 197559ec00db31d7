#!/bin/sh
# The product must be a 32-bit Windows GUI program that old 32-bit Windows
# loads: PE32 for the i386, the GUI subsystem at version 4.0 or lower (a
# loader refuses a program that asks for a newer Windows than itself), no
# delay-loaded imports, nothing imported but the functions named in
# tests/product/allowed-imports.txt, each one there since Windows 98 and
# NT 4.0, and no manifest.
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
# has no name and shows as "#N". Only the lines of a DLL's table count; its
# header names the columns: "vma: Hint/Ord Member-Name" up to binutils 2.43
# (a tab after the vma), "vma: Ordinal Hint Member-Name" from 2.44 (spaces).
imports=$(echo "$dump" | awk '
    /^\tDLL Name:/ { dll = tolower($3); name = 0; next }
    dll != "" && /^\tvma:/ { name = /Ordinal/ ? 4 : 3; next }
    name && /^\t[0-9a-f]+[ \t]/ { print dll, ($name == "<none>" ? "#" $2 : $name); next }
    { name = 0 }' | sort -u)
[ -n "$imports" ] || bad "shows no imports"
extra=$(echo "$imports" | awk 'NR == FNR { if (NF && $1 !~ /^#/) ok[$1 " " $2] = 1; next } !($0 in ok)' "$allowed" -)
echo "$extra" | while read -r dll name; do
    [ -z "$dll" ] || echo "FAIL: $exe imports $dll $name, which is not in $allowed"
done
[ -z "$extra" ] || status=1

# No manifest (a resource of type 24, RT_MANIFEST): the gcc driver links
# default-manifest.o wherever one is installed, and that one names an
# execution level, which ends Windows' redirection of the program's writes
# to VirtualStore that docs/handoff.md describes. The icon group (type 14)
# shows that the resource directory was read at all.
types=$(echo "$dump" | sed -n 's/^[0-9a-f]*   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p')
echo "$types" | grep -qx e || bad "shows no icon in its resource directory"
! echo "$types" | grep -qx 18 || bad "carries a manifest (a resource of type 24, RT_MANIFEST)"
[ $status -eq 0 ] || exit 1
echo "$exe: PE32 GUI program for Windows $major.$minor, $(echo "$imports" | wc -l) imports, all allowed"
