#!/usr/bin/env bash
# Builds everything and runs every test: the Linux suite (headless; the end-to-end
# test also runs the programs once under Xvfb), then the Windows suite under Wine
# (scripts/run-windows-tests.sh). VX_WINDOWS_TESTS=0 runs the Linux suite only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-layers.sh
scripts/setup.sh build
status=0
(cd build && ctest --output-on-failure -j2) || status=1
if [ "${VX_WINDOWS_TESTS:-1}" != 0 ]; then
    scripts/run-windows-tests.sh || status=1
fi
exit "$status"
