#!/usr/bin/env bash
# Builds everything and runs every test: the Linux suite (headless; the end-to-end
# test also runs the programs once under Xvfb), then the Windows suite under Wine
# (scripts/run-windows-tests.sh). VX_WINDOWS_TESTS=0 runs the Linux suite only.
# Ends with one line of counts for each suite and one of their sum.
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=run-tests.sh
. scripts/lib.sh
vx_begin "check the layers"
scripts/check-layers.sh
vx_begin "set up and build"
scripts/setup.sh build
vx_begin "run the Linux suite"
failed=()
(cd build && ctest --output-on-failure -j2 --output-junit test-results.xml) || failed+=("the Linux suite")
linux=$(vx_test_counts build/test-results.xml)
summary="Linux: $linux"
totals=$linux
if [ "${VX_WINDOWS_TESTS:-1}" != 0 ]; then
    vx_begin "the Windows suite"
    rm -f build-win64/test-counts.txt
    scripts/run-windows-tests.sh || failed+=("the Windows suite")
    windows=$(cat build-win64/test-counts.txt 2>/dev/null || echo "did not run")
    summary="$summary; Windows (Wine): $windows"
    totals="$totals
$windows"
fi
echo "$summary"
# The sum, in the plain form test runners close with.
echo "$totals" | tr -d , | awk '{ for (i = 2; i <= NF; i++) n[$i] += $(i - 1) }
    END { printf "tests: %d passed, %d failed, %d skipped\n", n["passed"], n["failed"], n["skipped"] }'
if [ ${#failed[@]} -gt 0 ]; then
    VX_STEP=$(IFS=,; echo "${failed[*]}" | sed 's/,/ and /')
    exit 1
fi
