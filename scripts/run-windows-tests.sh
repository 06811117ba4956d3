#!/usr/bin/env bash
# Builds the Windows programs and tests with mingw-w64 and runs the tests under Wine,
# headless on an Xvfb display of their own, in a Wine prefix under build-win64/.
# The i686 build (build-win32/) is built and linked, warning-free, but not run: this
# kernel cannot run 32-bit programs. Ends with the suite's counts
# (also kept in build-win64/test-counts.txt).
# Usage: scripts/run-windows-tests.sh [ctest arguments, e.g. -R Deliverables]
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=run-windows-tests.sh
. scripts/lib.sh
ROOT=$PWD
JOBS=$(nproc)

# wine64 holds only the 64-bit loader; the commands wine, wineboot and wineserver come
# from the package wine. Never wine32: with it installed the wine launcher fails even
# for 64-bit programs.
vx_begin "install packages"
scripts/install-packages.sh --no-recommends cmake ninja-build g++ g++-mingw-w64-x86-64-posix \
    g++-mingw-w64-i686-posix googletest wine64 wine xvfb xauth xdotool util-linux
vx_require cmake:cmake ninja-build:ninja g++:g++ g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix \
    g++-mingw-w64-i686-posix:i686-w64-mingw32-g++-posix wine:wine wine:wineboot \
    wine:wineserver xvfb:Xvfb xdotool:xdotool util-linux:flock
[ -d /usr/src/googletest ] || { echo "$VX_SCRIPT: /usr/src/googletest is missing (Debian package googletest)" >&2; exit 1; }
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
    echo "warning: wine32 is installed; Wine may fail to start 64-bit programs" >&2
fi

# build <folder> <arch>: configures as scripts/build-windows.sh does (so the two share
# the build folders) and builds; fails on any compiler warning, the tests' included.
build() {
    local dir=$1 arch=$2
    vx_step "configure $dir" cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVX_WERROR=ON -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$arch.cmake"
    local log="$dir/build.log"
    vx_begin "build $dir"
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
# The players' zips, and every program in them as Windows sees it; the authors' SDKs.
for dir in build-win64 build-win32; do
    vx_step "make the players' zip in $dir" bash -c "cd '$dir' && cpack -G ZIP"
    vx_begin "make the SDK of $dir"
    scripts/make-windows-sdk.sh "$dir"
done
vx_begin "check the programs in the zips"
scripts/check-windows-programs.sh

# The tests' own X server on a free display, and the prefix's Wine server for the run.
export WINEPREFIX=$ROOT/build-win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# DirectSound opens on ALSA's null device (build-win64/wine-run.sh uses the same file).
export ALSA_CONFIG_PATH=$ROOT/build-win64/alsa-null.conf
echo 'pcm.!default { type null }' >"$ALSA_CONFIG_PATH"
display_file=$(mktemp)
xvfb_log=$VX_LOG_DIR/run-windows-tests.xvfb.log
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$xvfb_log" &
xvfb_pid=$!
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
VX_CLEANUP=cleanup
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
done
vx_begin "start Xvfb"
[ -s "$display_file" ] || { echo "Xvfb did not start:" >&2; tail -n 20 "$xvfb_log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$display_file")

# The prefix: made once per build folder (about 8 s) and marked as the tests' own, so
# the end-to-end tests may write its C:\Program Files.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    vx_step "make the Wine prefix" wineboot -i
    vx_step "wait for the Wine prefix" wineserver -w
    : > "$WINEPREFIX/drive_c/vamex-test-prefix"
fi
# Wine's services and desktop start now, on no pipe of CTest's: started by a test they
# would inherit its output pipe and keep CTest waiting until its timeout.
vx_step "start the Wine server" wineserver -p
vx_step "start Wine's services" wineboot
vx_step "run a first Windows program" wine cmd /c exit

vx_begin "run the Windows suite"
status=0
(cd build-win64 && ctest --output-on-failure -j"$JOBS" --output-junit test-results.xml "$@") || status=1
# The SDK as a game author uses it (only on a whole run, not for a chosen few tests).
if [ $# -eq 0 ]; then
    vx_begin "check the Windows SDK"
    scripts/check-windows-sdk.sh || status=1
fi
vx_test_counts build-win64/test-results.xml >build-win64/test-counts.txt
echo "Windows (Wine): $(cat build-win64/test-counts.txt)"
exit "$status"
