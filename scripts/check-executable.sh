#!/usr/bin/env bash
# Checks the built Brindlemax.scr: a 32-bit Intel GUI program that imports only system DLLs.
set -euo pipefail
file=${1:?path to Brindlemax.scr}
dump=$(i686-w64-mingw32-objdump -p "$file")
fail() { echo "check-executable: $*" >&2; exit 1; }
grep -q 'Magic[[:space:]]*010b' <<<"$dump" || fail "not PE32"
grep -q 'Subsystem[[:space:]]*00000002' <<<"$dump" || fail "not a GUI program"
i686-w64-mingw32-objdump -f "$file" | grep -q 'architecture: i386' || fail "not Intel 80386"
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
while read -r dll; do
    [ -z "$dll" ] && continue
    grep -qiE "$allowed" <<<"$dll" || fail "imports $dll"
done <<<"$imports"
echo "check-executable: $(basename "$file") is PE32, GUI, i386; imports: $(tr '\n' ' ' <<<"$imports")"
