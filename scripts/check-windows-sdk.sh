#!/usr/bin/env bash
# The Windows SDK as a game author uses it: unpacked, examples/hello (its C++ and its
# .vx) cross-built against it with its own toolchain file and CMake package, each
# program a window program; and its vamexc.exe, run under Wine, translates hello.vx and
# pong.vx to the same bytes as the build machine's vamexc. Needs Wine set up as
# scripts/run-windows-tests.sh leaves it (WINEPREFIX, DISPLAY).
# Usage: scripts/check-windows-sdk.sh
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=check-windows-sdk.sh
. scripts/lib.sh
ROOT=$PWD
zip=build-win64/vamex-sdk-win64.zip
host_vamexc=$ROOT/build-win64/vamexc-host/vamexc
[ -f "$zip" ] || { echo "$zip is missing (scripts/make-windows-sdk.sh build-win64)" >&2; exit 1; }
[ -x "$host_vamexc" ] || { echo "$host_vamexc is missing" >&2; exit 1; }
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
VX_CLEANUP=cleanup

vx_step "unpack the SDK" bash -c "cd '$work' && cmake -E tar xf '$ROOT/$zip'"
sdk=$work/vamex-sdk-win64
vx_step "configure examples/hello against the SDK" cmake -S examples/hello -B "$work/hello" \
    -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$sdk/lib/cmake/Vamex/toolchain-mingw-x86_64.cmake" \
    -DVamex_DIR="$sdk/lib/cmake/Vamex" -DVAMEX_TRANSLATOR="$host_vamexc"
vx_step "build examples/hello against the SDK" cmake --build "$work/hello"
vx_begin "check the programs built against the SDK"
for program in hello hello_vx; do
    exe=$work/hello/$program.exe
    [ -f "$exe" ] || { echo "$program.exe was not built" >&2; exit 1; }
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    grep -q "Subsystem.*(Windows GUI)" <<<"$headers" ||
        { echo "$program.exe is not a window program" >&2; exit 1; }
done
[ -f "$work/hello/SMALFONT.BMP" ] || { echo "no SMALFONT.BMP beside the programs" >&2; exit 1; }

mkdir -p "$work/translate"
cp examples/hello/hello.vx examples/pong/pong.vx "$work/translate/"
for program in hello pong; do
    vx_step "translate $program.vx with the SDK's vamexc.exe under Wine" \
        bash -c "cd '$work/translate' && wine '$sdk/bin/vamexc.exe' $program.vx -o $program-windows.cpp"
    vx_step "translate $program.vx with the build machine's vamexc" \
        bash -c "cd '$work/translate' && '$host_vamexc' $program.vx -o $program-linux.cpp"
    vx_begin "compare the two translations of $program.vx"
    cmp "$work/translate/$program-windows.cpp" "$work/translate/$program-linux.cpp"
done
echo "Windows SDK: examples/hello built against vamex-sdk-win64.zip; its vamexc.exe under Wine translates hello.vx and pong.vx to the same bytes as the build machine's"
