#!/usr/bin/env bash
# Builds everything and runs every test (headless; the end-to-end test also runs the
# programs once under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-layers.sh
scripts/setup.sh build
cd build
ctest --output-on-failure -j2
