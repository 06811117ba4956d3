#!/usr/bin/env bash
# Installs what the build needs (Debian packages), configures and builds.
# Usage: scripts/setup.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=setup.sh
. scripts/lib.sh
BUILD_DIR=${1:-build}

vx_begin "install packages"
scripts/install-packages.sh cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libegl-dev \
    libgl1-mesa-dri libgtest-dev xvfb xauth util-linux
vx_require cmake:cmake ninja-build:ninja g++:g++ pkg-config:pkg-config xvfb:Xvfb \
    util-linux:flock

vx_step "configure $BUILD_DIR" cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
vx_begin "build $BUILD_DIR"
ninja -C "$BUILD_DIR" -j"$(nproc)"
