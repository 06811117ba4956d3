#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, -DVX_FUZZ=ON) and runs each from its seed corpus
# in fuzz/corpus/<target>. A report, or a target that cannot run, fails the run; the
# input that caused it is kept as build-fuzz/crash/<target>-*.
# Usage: scripts/run-fuzz.sh [seconds per target] [target...]   (default: 60, all six)
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=run-fuzz.sh
. scripts/lib.sh
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bmp font wave linefile resolve translate)

vx_begin "install packages"
scripts/install-packages.sh clang libclang-rt-14-dev cmake ninja-build pkg-config libsdl2-dev \
    libgl-dev libegl-dev
vx_require clang:clang clang:clang++ cmake:cmake ninja-build:ninja
vx_step "configure build-fuzz" env CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_FUZZ=ON -DVX_TESTS=OFF -DVX_BENCH=OFF
vx_begin "build the fuzz targets"
ninja -C build-fuzz -j"$(nproc)" $(printf 'fuzz_%s ' "${targets[@]}")
vx_begin "run the fuzz targets"

# The targets write files on every run: in memory where it can be, as a busy disk
# slows them a hundredfold.
tmp=/dev/shm
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
mkdir -p build-fuzz/crash
failed=()
for t in "${targets[@]}"; do
    work=build-fuzz/work/$t  # new inputs go here; the committed seeds stay as they are
    mkdir -p "$work"
    options=(-max_total_time="$seconds" -artifact_prefix="build-fuzz/crash/$t-" -print_final_stats=1)
    [ -f "fuzz/dict/$t.dict" ] && options+=(-dict="fuzz/dict/$t.dict")
    [ "$t" = linefile ] && options+=(-max_len=8192)  # room for pieces of 1023 bytes
    # Every program, however odd, must be answered in bounded time.
    [ "$t" = translate ] && options+=(-timeout=10)
    echo "== fuzz_$t, ${seconds} s"
    if TMPDIR=$tmp build-fuzz/fuzz/fuzz_$t "${options[@]}" "$work" "fuzz/corpus/$t" \
        >"build-fuzz/$t.log" 2>&1; then
        grep -E "^Done|stat::number_of_executed_units" "build-fuzz/$t.log" | head -2
        grep -E "cov: " "build-fuzz/$t.log" | tail -1
    else
        failed+=("$t")
        grep -E -A30 "ERROR|check failed|runtime error|resolves to" "build-fuzz/$t.log" | head -40
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: reports from ${failed[*]} (logs in build-fuzz/<target>.log)"
    VX_STEP="fuzz_${failed[0]} reported"
    exit 1
fi
echo "fuzz: ${#targets[@]} targets, no reports"
