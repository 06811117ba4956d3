#!/usr/bin/env bash
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, -DVX_SANITIZE=ON). A report stops the process that makes it; reports from
# every process, test programs included, are collected and any one fails the run.
# LeakSanitizer counts leaks in the cases that use no GL (see below).
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=run-sanitized.sh
. scripts/lib.sh
vx_begin "install packages"
scripts/install-packages.sh clang libclang-rt-14-dev cmake ninja-build pkg-config libsdl2-dev \
    libgl-dev libegl-dev libgl1-mesa-dri libgtest-dev xvfb xauth
vx_require clang:clang clang:clang++ cmake:cmake ninja-build:ninja xvfb:Xvfb
vx_step "configure build-asan" env CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_SANITIZE=ON -DVX_BENCH=OFF
vx_begin "build build-asan"
ninja -C build-asan -j"$(nproc)"
vx_begin "run the sanitized suite"

reports=$PWD/build-asan/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
# Reports go to files, so one in a program a test runs counts even where the test
# expects that program to fail. Failed allocations return null, as the runtime handles
# them (a huge array is error 7).
options="halt_on_error=1:abort_on_error=1:allocator_may_return_null=1:log_path=$reports/report"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/report"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
status=0
# Leaks are not looked for where GL or SDL are used: Mesa keeps allocations to the end
# in drivers unloaded before the report, so nothing can tell them from ours without
# unwinding every allocation in full, which makes the drawing tests overrun their time.
(cd build-asan && ASAN_OPTIONS="$options:detect_leaks=0" ctest --output-on-failure -j2) || status=1
# The language's values, line files and the platform's own services use neither: their
# cases run again with leaks counted.
suites=$(for t in test_lang test_platform; do
    ASAN_OPTIONS=detect_leaks=0 build-asan/tests/$t --gtest_list_tests | grep -v '^ ' | tr -d .
done | paste -sd'|')
# Only failures are shown: the passing cases were shown above.
leak_log=$VX_LOG_DIR/run-sanitized.leaks.log
if ! (cd build-asan && ASAN_OPTIONS="$options:detect_leaks=1" ctest -R "^($suites)\." -j2 \
    --output-on-failure >"$leak_log" 2>&1); then
    grep -B5 -A40 -E "Failed|\*\*\*" "$leak_log" | head -n 120
    status=1
fi
# A refused huge allocation leaves a warning there too; only reports count.
found=$(grep -lE "ERROR: |runtime error" "$reports"/* 2>/dev/null || true)
if [ -n "$found" ]; then
    echo "sanitizers: reports in $reports"
    head -n 40 $found
    status=1
fi
[ $status -eq 0 ] && echo "sanitizers: whole suite clean"
[ $status -eq 0 ] || VX_STEP="a sanitized test failed or reported"
exit $status
