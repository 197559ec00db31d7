#!/bin/sh
# The product must be a 32-bit Windows GUI program that needs no DLL beyond
# those of Windows itself.
#   tools/check-product.sh build/i686/orbvue.exe
set -eu
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
echo "$dump" | grep -q "^Magic[[:space:]]*010b" || { echo "FAIL: $exe is not PE32"; exit 1; }
echo "$dump" | grep -q "^Subsystem[[:space:]]*00000002" || { echo "FAIL: $exe is not a GUI program"; exit 1; }
dlls=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $dlls; do
    case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
    *) echo "FAIL: $exe needs $dll"; exit 1 ;;
    esac
done
echo "$exe: PE32 GUI program, needs only $(echo $dlls | tr '\n' ' ')"
