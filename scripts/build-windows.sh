#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64: build-win64/ (x86_64) and build-win32/
# (i686), Release, statically linked, warnings as errors in the runtime and programs,
# and a zip per architecture (build-win64/vamex-win64.zip, build-win32/vamex-win32.zip)
# that a Windows player unpacks and runs.
set -euo pipefail
cd "$(dirname "$0")/.."

# g++: the translator runs on this machine to translate the programs.
scripts/install-packages.sh --no-recommends cmake ninja-build g++ g++-mingw-w64-x86-64-posix \
    g++-mingw-w64-i686-posix

jobs="${VX_JOBS:-2}"
for pair in x86_64:win64 i686:win32; do
    arch="${pair%%:*}"
    dir="build-${pair##*:}"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" -DVX_WERROR=ON >/dev/null
    # The programs and what the zip holds; scripts/run-windows-tests.sh builds the rest.
    ninja -C "$dir" -j"$jobs" scroll_on scroll_off demo
    for program in scroll_on scroll_off demo; do
        test -f "$dir/game/$program.exe"
    done
    test -f "$dir/game/SMALFONT.BMP"
    (cd "$dir" && cpack -G ZIP >/dev/null)
    echo "$dir: $(ls "$dir"/vamex-*.zip)"
done
