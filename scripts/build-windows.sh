#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64: build-win64/ (x86_64) and build-win32/
# (i686), Release, statically linked, warnings as errors in the runtime and programs,
# a zip per architecture (build-win64/vamex-win64.zip, build-win32/vamex-win32.zip)
# that a Windows player unpacks and runs, and an SDK zip per architecture for game
# authors (vamex-sdk-win64.zip, vamex-sdk-win32.zip, scripts/make-windows-sdk.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=build-windows.sh
. scripts/lib.sh

vx_begin "install packages"
# g++: the translator runs on this machine to translate the programs.
scripts/install-packages.sh --no-recommends cmake ninja-build g++ g++-mingw-w64-x86-64-posix \
    g++-mingw-w64-i686-posix
vx_require cmake:cmake ninja-build:ninja cmake:cpack g++:g++ \
    g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix \
    g++-mingw-w64-i686-posix:i686-w64-mingw32-g++-posix

jobs="${VX_JOBS:-2}"
for pair in x86_64:win64 i686:win32; do
    arch="${pair%%:*}"
    dir="build-${pair##*:}"
    vx_step "configure $dir" cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" -DVX_WERROR=ON
    # The programs and what the zip holds; scripts/run-windows-tests.sh builds the rest.
    vx_begin "build $dir"
    ninja -C "$dir" -j"$jobs" scroll_on scroll_off demo
    vx_begin "check the programs in $dir"
    for program in game/scroll_on.exe game/scroll_off.exe game/demo.exe game/SMALFONT.BMP; do
        [ -f "$dir/$program" ] || { echo "$dir/$program was not made" >&2; exit 1; }
    done
    vx_step "make the zip in $dir" bash -c "cd '$dir' && cpack -G ZIP"
    echo "$dir: $(ls "$dir"/vamex-*.zip)"
    vx_begin "check the programs in the zip of $dir"
    scripts/check-windows-programs.sh "$dir/vamex-${pair##*:}.zip"
    vx_begin "make the SDK of $dir"
    ninja -C "$dir" -j"$jobs" vamex vamex_entry vamexc
    scripts/make-windows-sdk.sh "$dir"
done
