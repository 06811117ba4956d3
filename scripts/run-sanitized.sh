#!/usr/bin/env bash
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, -DVX_SANITIZE=ON). A report stops the process that makes it; reports from
# every process, test programs included, are collected and any one fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang libclang-rt-14-dev cmake ninja-build pkg-config libsdl2-dev \
    libgl-dev libegl-dev libgl1-mesa-dri libgtest-dev xvfb xauth
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVX_SANITIZE=ON -DVX_BENCH=OFF >/dev/null
ninja -C build-asan -j"$(nproc)"

reports=$PWD/build-asan/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
# Reports go to files, so one in a program a test runs counts even where the test
# expects that program to fail. Leak stacks are unwound in full, so the suppressions
# (scripts/lsan.supp) match through SDL's frames. Failed allocations return null, as
# the runtime handles them (a huge array is error 7).
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:allocator_may_return_null=1:\
fast_unwind_on_malloc=0:malloc_context_size=64:log_path=$reports/report"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/report"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
status=0
(cd build-asan && ctest --output-on-failure -j2) || status=1
if compgen -G "$reports/*" >/dev/null; then
    echo "sanitizers: reports in $reports"
    head -n 40 "$reports"/*
    status=1
fi
[ $status -eq 0 ] && echo "sanitizers: whole suite clean"
exit $status
