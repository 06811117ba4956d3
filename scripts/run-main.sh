#!/usr/bin/env bash
# Builds everything, then runs scroll_on against a sample Wine prefix under the build
# folder and shows the configuration line it changed. Needs no display: without one
# the window opens on SDL's offscreen driver.
# Usage: scripts/run-main.sh [scroll_on|scroll_off]
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=run-main.sh
. scripts/lib.sh
PROGRAM=${1:-scroll_on}
case "$PROGRAM" in
    scroll_on | scroll_off) ;;
    *) echo "usage: scripts/run-main.sh [scroll_on|scroll_off]" >&2; exit 2 ;;
esac
vx_begin "set up and build"
scripts/setup.sh build
vx_begin "write the sample configuration"

PREFIX="$PWD/build/sample-wine"
CFG_DIR="$PREFIX/drive_c/Program Files/Microsoft Games/Combat Flight Simulator 2"
CFG="$CFG_DIR/cfs2.cfg"
mkdir -p "$CFG_DIR" "$PREFIX/dosdevices"
ln -sfn ../drive_c "$PREFIX/dosdevices/c:"
if [ ! -f "$CFG" ]; then
    # A sample configuration of 120 lines with CR LF ends; line 72 (from 0) is the setting.
    for i in $(seq 0 119); do
        if [ "$i" -eq 0 ]; then printf '[Main]\r\n'
        elif [ "$i" -eq 72 ]; then printf 'TEXT-SCROLL=0\r\n'
        elif [ $((i % 20)) -eq 0 ]; then printf '[Section%d]\r\n' $((i / 20))
        else printf 'SETTING%03d=%d\r\n' "$i" $((i * 7 % 100))
        fi
    done > "$CFG"
fi

vx_begin "run $PROGRAM"
echo "Configuration: $CFG"
echo "Line 72 before: $(sed -n 73p "$CFG" | tr -d '\r')"
rc=0
(cd build && WINEPREFIX="$PREFIX" "./game/$PROGRAM") || rc=$?
echo "$PROGRAM exited with code $rc"
echo "Line 72 after:  $(sed -n 73p "$CFG" | tr -d '\r')"
echo "Lines in file:  $(wc -l < "$CFG")"
[ "$rc" -eq 0 ] || exit "$rc"
