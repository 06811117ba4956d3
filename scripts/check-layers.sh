#!/usr/bin/env bash
# Lists each folder's includes of other runtime folders and fails when a folder
# includes one above it. Folders on one floor (the devices) may not include each other.
# Usage: scripts/check-layers.sh [-v]
set -euo pipefail
cd "$(dirname "$0")/.."

floor() {
    case "$1" in
        platform) echo 0 ;;
        base) echo 1 ;;
        lang) echo 2 ;;
        render | input | sound) echo 3 ;;
        commands) echo 4 ;;
        host) echo 5 ;;
        game) echo 6 ;;
        *) echo "" ;;
    esac
}

bad=0
for folder in platform base lang render input sound commands host game; do
    mine=$(floor "$folder")
    uses=$(grep -rhoE '^#include "[a-z0-9_]+/' "$folder" --include='*.cpp' --include='*.h' 2>/dev/null |
           sed -E 's/#include "([a-z0-9_]+)\//\1/' | sort -u | grep -vx "$folder" || true)
    [ "${1:-}" = "-v" ] && echo "$folder ($mine): ${uses//$'\n'/ }"
    for used in $uses; do
        theirs=$(floor "$used")
        [ -n "$theirs" ] || continue
        if [ "$theirs" -ge "$mine" ]; then
            echo "layering: $folder (floor $mine) includes $used (floor $theirs):"
            grep -rnE "^#include \"$used/" "$folder" --include='*.cpp' --include='*.h' | sed 's/^/    /'
            bad=1
        fi
    done
done
[ "$bad" -eq 0 ] && echo "layering: every folder includes only folders below it"
exit "$bad"
