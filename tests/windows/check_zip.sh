#!/usr/bin/env bash
# Checks the portable zip as Windows' Explorer and Notepad will meet it: one folder with the program (a 64-bit
# GUI program, so no console window opens beside the game), the read-me in UTF-8 with a byte order mark and
# CRLF line ends, naming the version, and the licence.
# Usage: check_zip.sh <zip> <version>
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 <zip> <version>" >&2; exit 2; }
zip=$(realpath "$1")
version=$2
folder=tropilka-$version

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$work" && cmake -E tar xf "$zip") || { echo "FAIL: $zip does not unpack" >&2; exit 1; }
listing=$(cd "$work" && find . -mindepth 1 | sort | tr '\n' ' ')
expected="./$folder ./$folder/LICENSE.txt ./$folder/README.txt ./$folder/tropilka.exe "
[ "$listing" = "$expected" ] || fail "the zip holds \"$listing\", not \"$expected\""

# PE: "MZ", the offset of the PE header at 0x3C; after "PE\0\0" and the file header, the optional header's
# magic (0x20B for 64-bit) and, 68 bytes in, the subsystem (2 for a GUI program).
exe=$work/$folder/tropilka.exe
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
if [ -f "$exe" ] && [ "$(head -c2 "$exe")" = MZ ]; then
    pe=$(u32 "$exe" 60)
    [ "$(u16 "$exe" $((pe + 24)))" = 523 ] || fail "tropilka.exe is not a 64-bit program"
    [ "$(u16 "$exe" $((pe + 24 + 68)))" = 2 ] || fail "tropilka.exe is not a GUI program (subsystem $(u16 "$exe" $((pe + 24 + 68))))"
else
    fail "tropilka.exe is missing or no program"
fi

readme=$work/$folder/README.txt
if [ -f "$readme" ]; then
    [ "$(head -c3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 byte order mark"
    lf=$(tr -cd '\n' <"$readme" | wc -c)
    crlf=$(grep -c $'\r$' "$readme" || true)
    [ "$lf" -gt 0 ] && [ "$lf" -eq "$crlf" ] || fail "README.txt has $lf lines, $crlf of them ending in CRLF"
    iconv -f UTF-8 -t UTF-16 "$readme" >/dev/null 2>&1 || fail "README.txt is not UTF-8"
    grep -q "Тропилка $version" "$readme" || fail "README.txt does not name \"Тропилка $version\""
    ! grep -q '@[A-Z_]*@' "$readme" || fail "README.txt has a placeholder left: $(grep -o '@[A-Z_]*@' "$readme" | head -n1)"
fi
licence=$work/$folder/LICENSE.txt
[ -f "$licence" ] && grep -q "GNU GENERAL PUBLIC LICENSE" "$licence" && grep -q "Version 3, 29 June 2007" "$licence" ||
    fail "LICENSE.txt is not the GPL, version 3"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
