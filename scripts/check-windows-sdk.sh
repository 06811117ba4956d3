#!/usr/bin/env bash
# The Windows SDK as a game author uses it: unpacked, examples/hello (its C++ and its
# .vx) and examples/pong cross-built against it with its own toolchain file and CMake
# package, each program a window program, pong played under Wine (F12 keeps its
# picture, whose table and paddles are checked; Escape ends it with exit code 0); and its vamexc.exe, run under Wine, translates hello.vx and
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
# build_example NAME: examples/NAME cross-built against the SDK, as an author would,
# into $work/NAME.
build_example() {
    vx_step "configure examples/$1 against the SDK" cmake -S "examples/$1" -B "$work/$1" \
        -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$sdk/lib/cmake/Vamex/toolchain-mingw-x86_64.cmake" \
        -DVamex_DIR="$sdk/lib/cmake/Vamex" -DVAMEX_TRANSLATOR="$host_vamexc"
    vx_step "build examples/$1 against the SDK" cmake --build "$work/$1"
}
build_example hello
vx_begin "check the programs built against the SDK"
for program in hello hello_vx; do
    exe=$work/hello/$program.exe
    [ -f "$exe" ] || { echo "$program.exe was not built" >&2; exit 1; }
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    grep -q "Subsystem.*(Windows GUI)" <<<"$headers" ||
        { echo "$program.exe is not a window program" >&2; exit 1; }
done
[ -f "$work/hello/SMALFONT.BMP" ] || { echo "no SMALFONT.BMP beside the programs" >&2; exit 1; }

# pong against the SDK, played under Wine: keys from xdotool on the test's X display,
# F12 keeps a picture, Escape ends the game with exit code 0.
build_example pong
vx_begin "play pong.exe under Wine"
# What the X display shows, for a failure's report: each top-level window's id and name.
show_windows() {
    local id
    echo "windows on $DISPLAY:" >&2
    for id in $(xdotool search --name "" 2>/dev/null || true); do
        echo "  $id $(xdotool getwindowname "$id" 2>/dev/null || true)" >&2
    done
}
# start_game: starts pong.exe and waits up to 90 s for its window (a busy machine can
# take Wine well over ten seconds to show a new program's first window); sets game
# and window. A game that ends first fails the check; one that shows no window is
# reported with what the display and the processes show, ended, and 1 returned.
start_game() {
    (cd "$work/pong" && exec timeout 120 wine pong.exe) >"$work/pong.log" 2>&1 &
    game=$!
    window=""
    for _ in $(seq 900); do
        window=$(xdotool search --onlyvisible --name "Vamex Game Running" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && return 0
        if ! kill -0 "$game" 2>/dev/null; then
            rc=0
            wait "$game" || rc=$?
            echo "pong.exe ended with exit code $rc before it showed a window" >&2
            cat "$work/pong.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    echo "pong.exe showed no window in 90 s" >&2
    show_windows
    ps -eo pid,stat,etime,args | grep -i -E "wine|\.exe" | grep -v grep >&2 || true
    cat "$work/pong.log" >&2
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    return 1
}
# One more start after a window that never came: Wine under load has been seen to
# lose one (the report above stays in the log).
if ! start_game; then
    echo "check-windows-sdk.sh: starting pong.exe once more" >&2
    start_game || exit 1
fi
sleep 1
# Held for a few frames, so the game sees each key down whatever its frame's timing.
press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }
xdotool windowfocus "$window" 2>/dev/null || true
press F12
for _ in $(seq 100); do
    [ -s "$work/pong/pong.bmp" ] && break
    sleep 0.1
done
press Escape
rc=0
wait "$game" || rc=$?
[ "$rc" -eq 0 ] || { echo "pong.exe ended with exit code $rc" >&2; cat "$work/pong.log" >&2; exit 1; }
[ -s "$work/pong/pong.bmp" ] || { echo "pong.exe kept no picture on F12" >&2; exit 1; }
# A pixel of the 640 x 480 24-bit picture (rows bottom up) near the colour given.
near() {
    local x=$1 y=$2 r=$3 g=$4 b=$5 bgr
    read -r -a bgr < <(od -An -tu1 -j $((54 + (479 - y) * 1920 + x * 3)) -N3 "$work/pong/pong.bmp")
    local d
    for d in $((bgr[2] - r)) $((bgr[1] - g)) $((bgr[0] - b)); do
        [ "${d#-}" -le 12 ] || { echo "pong.bmp at ($x, $y): ${bgr[2]} ${bgr[1]} ${bgr[0]}, not $r $g $b" >&2; return 1; }
    done
}
# The table, the middle line, both paddles where they start (y 208 to 271).
near 100 300 16 96 48
near 319 40 200 200 200
near 30 209 255 160 0
near 30 270 255 160 0
near 610 209 0 200 255
near 30 200 16 96 48

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
echo "Windows SDK: examples/hello and examples/pong built against vamex-sdk-win64.zip, pong.exe played under Wine; its vamexc.exe under Wine translates hello.vx and pong.vx to the same bytes as the build machine's"
