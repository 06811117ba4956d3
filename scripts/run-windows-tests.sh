#!/usr/bin/env bash
# Builds the Windows programs and tests with mingw-w64 and runs the tests under Wine,
# headless on an Xvfb display of their own, in a Wine prefix under build-win64/.
# The i686 build (build-win32/) is built and linked, warning-free, but not run: this
# kernel cannot run 32-bit programs.
# Usage: scripts/run-windows-tests.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=$(nproc)

# Never wine32: with it installed the wine launcher fails even for 64-bit programs.
scripts/install-packages.sh --no-recommends cmake ninja-build g++ g++-mingw-w64-x86-64-posix \
    g++-mingw-w64-i686-posix googletest wine64 xvfb xauth util-linux
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
    echo "warning: wine32 is installed; Wine may fail to start 64-bit programs" >&2
fi

# build <folder> <arch>: configures as scripts/build-windows.sh does (so the two share
# the build folders) and builds; fails on any compiler warning, the tests' included.
build() {
    local dir=$1 arch=$2
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$arch.cmake" >/dev/null
    local log="$dir/build.log"
    echo "Building $dir"
    if ! ninja -C "$dir" -j"$JOBS" >"$log" 2>&1; then
        grep -A30 -m3 '^FAILED' "$log" || tail -n 40 "$log"
        exit 1
    fi
    if grep -q 'warning:' "$log"; then
        grep -B2 -A6 'warning:' "$log"
        echo "$dir: compiler warnings" >&2
        exit 1
    fi
    echo "$dir: built ($(find "$dir" -name '*.exe' -not -path '*/wineprefix/*' | wc -l) programs)"
}
build build-win64 x86_64
build build-win32 i686

# The tests' own X server on a free display, and the prefix's Wine server for the run.
export WINEPREFIX=$ROOT/build-win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# DirectSound opens on ALSA's null device (build-win64/wine-run.sh uses the same file).
export ALSA_CONFIG_PATH=$ROOT/build-win64/alsa-null.conf
echo 'pcm.!default { type null }' >"$ALSA_CONFIG_PATH"
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$display_file")

# The prefix: made once per build folder (about 8 s) and marked as the tests' own, so
# the end-to-end tests may write its C:\Program Files.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    : > "$WINEPREFIX/drive_c/vamex-test-prefix"
fi
# Wine's services and desktop start now, on no pipe of CTest's: started by a test they
# would inherit its output pipe and keep CTest waiting until its timeout.
wineserver -p
wineboot </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

cd build-win64
ctest --output-on-failure -j"$JOBS"
