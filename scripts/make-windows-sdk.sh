#!/usr/bin/env bash
# Makes the Windows SDK zip of a mingw-w64 build folder: the runtime's headers and
# static libraries, the CMake package with the toolchain file it was built with,
# bin/vamexc.exe, the font, the licence and a README.txt for game authors.
# Usage: scripts/make-windows-sdk.sh build-win64|build-win32
set -euo pipefail
cd "$(dirname "$0")/.."
VX_SCRIPT=make-windows-sdk.sh
. scripts/lib.sh
dir=$1
case "$dir" in
    build-win64) arch=x86_64 ;;
    build-win32) arch=i686 ;;
    *) echo "usage: scripts/make-windows-sdk.sh build-win64|build-win32" >&2; exit 2 ;;
esac
name=vamex-sdk-${dir#build-}
stage=$dir/sdk-stage
rm -rf "$stage" "$dir/$name.zip"
# The SDK is what `cmake --install` puts outside the players' component.
vx_step "install $dir into the SDK" cmake --install "$dir" --prefix "$stage/$name" \
    --component Unspecified
vx_begin "add the SDK's own files"
cp "cmake/toolchain-mingw-$arch.cmake" "$stage/$name/lib/cmake/Vamex/"
cp docs/windows-sdk-readme.txt "$stage/$name/README.txt"
for f in bin/vamexc.exe include/vamex/vamex.h lib/libvamex.a lib/libvamex_entry.a \
    lib/cmake/Vamex/VamexConfig.cmake share/vamex/SMALFONT.BMP; do
    [ -f "$stage/$name/$f" ] || { echo "$name: $f is missing" >&2; exit 1; }
done
vx_step "zip $name" bash -c "cd '$stage' && cmake -E tar cf '../$name.zip' --format=zip '$name'"
rm -rf "$stage"
echo "$dir/$name.zip"
