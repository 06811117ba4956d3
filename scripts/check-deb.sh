#!/usr/bin/env bash
# Builds the Debian package, installs it with dpkg, builds examples/hello against the
# installed copy (CMake package, with hello.vx translated by the installed vamexc, and
# pkg-config), builds hello.vx with the vamexc driver, runs hello when the scripted
# player is built, then removes the package again. Needs root (or sudo); safe to run again.
# Usage: scripts/check-deb.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=check-deb.sh
. scripts/lib.sh
BUILD_DIR=${1:-build}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

vx_begin "set up and build"
scripts/setup.sh "$BUILD_DIR"
rm -f "$BUILD_DIR"/vamex-dev_*.deb
vx_step "make the package" bash -c "cd '$BUILD_DIR' && cpack -G DEB"
vx_begin "check the package"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
deb="$BUILD_DIR/vamex-dev_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "check-deb: $deb was not made"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
[ "$depends" = "libsdl2-dev, libgl-dev, g++" ] || { echo "check-deb: Depends is '$depends'"; exit 1; }

work=$(mktemp -d)
cleanup() {
    if dpkg-query -W -f='${Status}' vamex-dev 2>/dev/null | grep -q "install ok installed"; then
        $SUDO dpkg -r vamex-dev >"$VX_LOG_DIR/check-deb.remove.log" 2>&1 ||
            echo "check-deb: could not remove vamex-dev" >&2
    fi
    rm -rf "$work"
}
VX_CLEANUP=cleanup

vx_step "install the package" $SUDO dpkg -i "$deb"
echo "check-deb: installed $(basename "$deb")"

vx_step "configure examples/hello" cmake -S examples/hello -B "$work/hello" -G Ninja
vx_step "build examples/hello" cmake --build "$work/hello"
found=$(sed -n 's/^Vamex_DIR:PATH=//p' "$work/hello/CMakeCache.txt")
[ "$found" = "/usr/lib/cmake/Vamex" ] || { echo "check-deb: found Vamex in '$found'"; exit 1; }
mkdir -p "$work/pc"
# shellcheck disable=SC2046 # the flags are meant to split
vx_begin "build examples/hello with pkg-config"
g++ examples/hello/hello.cpp -o "$work/pc/hello" $(pkg-config --cflags --libs vamex)
echo "check-deb: examples/hello built with find_package and with pkg-config"
[ -x "$work/hello/hello_vx" ] || { echo "check-deb: hello.vx was not built through the package" >&2; exit 1; }
mkdir -p "$work/driver"
vx_step "build hello.vx with the installed vamexc" vamexc -v examples/hello/hello.vx -o "$work/driver/hello"
[ -x "$work/driver/hello" ] && [ -f "$work/driver/SMALFONT.BMP" ] ||
    { echo "check-deb: vamexc -o made no program with its font" >&2; exit 1; }
echo "check-deb: hello.vx built with find_package and with vamexc -o"

vx_begin "run hello with the scripted player"
player=$(realpath -m "$BUILD_DIR/tests/libvx_script_player.so")
if [ -f "$player" ]; then
    # F12 keeps a picture, Space ends the wait (frames 23 and 24 are the program's first).
    (cd "$work/hello" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy TMPDIR="$work" \
        LD_PRELOAD="$player" \
        VX_PLAYER_SCRIPT="23:F12 24:-F12 24:Space" timeout 60 ./hello)
    [ -s "$work/hello/hello.bmp" ] || { echo "check-deb: hello kept no picture"; exit 1; }
    echo "check-deb: hello ran and kept its picture"
fi

vx_step "remove the package" $SUDO dpkg -r vamex-dev
[ ! -e /usr/include/vamex ] || { echo "check-deb: /usr/include/vamex left behind"; exit 1; }
echo "check-deb: removed vamex-dev"
