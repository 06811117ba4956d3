#!/usr/bin/env bash
# Installs what the build needs (Debian packages), configures and builds.
# Usage: scripts/setup.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}

scripts/install-packages.sh cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libegl-dev \
    libgl1-mesa-dri libgtest-dev xvfb xauth

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$BUILD_DIR" -j"$(nproc)"
