#!/usr/bin/env bash
# Checks every program in the players' zips as Windows would see it: a window program
# (subsystem 2, so no console opens beside it), with an icon and version information
# that names the program and the product.
# Usage: scripts/check-windows-programs.sh [zip...]   (default: both builds' zips)
set -euo pipefail
cd "$(dirname "$0")/.."

zips=("$@")
[ ${#zips[@]} -gt 0 ] || zips=(build-win64/vamex-win64.zip build-win32/vamex-win32.zip)
# The x86_64 tools read the PE files of both architectures.
objdump=x86_64-w64-mingw32-objdump
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "$1: $2" >&2
    failures=$((failures + 1))
}

for zip in "${zips[@]}"; do
    [ -f "$zip" ] || { fail "$zip" "missing"; continue; }
    dir="$work/$(basename "$zip" .zip)"
    mkdir -p "$dir"
    abs="$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")"
    (cd "$dir" && cmake -E tar xf "$abs") || { fail "$zip" "cannot be unpacked"; continue; }
    programs=0
    while IFS= read -r -d '' exe; do
        programs=$((programs + 1))
        name=$(basename "$exe" .exe)
        where="$(basename "$zip"):$name.exe"
        headers=$("$objdump" -p "$exe")
        grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" ||
            fail "$where" "not a window program: $(grep -E '^Subsystem' <<<"$headers")"
        # Resource types 14 (icon group) and 16 (version), at the top of the table.
        resources=$(sed -n '/The .rsrc Resource Directory section/,$p' <<<"$headers")
        grep -Eq '^0[0-9a-f]{2}   Entry: ID: 0x00000e,' <<<"$resources" || fail "$where" "no icon"
        grep -Eq '^0[0-9a-f]{2}   Entry: ID: 0x000010,' <<<"$resources" ||
            fail "$where" "no version resource"
        texts=$(x86_64-w64-mingw32-strings -el "$exe")
        grep -qxF "$name, a Vamex program" <<<"$texts" ||
            fail "$where" "the description does not name the program"
        grep -qxF "Vamex" <<<"$texts" || fail "$where" "no product name"
    done < <(find "$dir" -name '*.exe' -print0)
    [ "$programs" -ge 3 ] || fail "$zip" "$programs programs, expected scroll_on, scroll_off and demo"
    echo "$zip: $programs programs checked"
done
[ "$failures" -eq 0 ] || { echo "$failures problems" >&2; exit 1; }
