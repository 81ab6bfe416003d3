#!/usr/bin/env bash
# Velmora for Windows, cross-built here with MinGW-w64: velmora.exe and
# velmora-cut.exe, each one static file, into build-windows/, and from them a zip
# that runs from any folder (velmora-VERSION-windows-x64.zip) and an installer
# (velmora-VERSION-setup.exe, NSIS). "test" then runs the engine's and
# velmora-cut's tests, cross-built, under Wine (wine64) in a Wine prefix of the
# build's own, compares velmora-cut.exe's files with the Linux build's
# (build/velmora-cut, built where missing), drives the window, and tries the zip
# and the installer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
prefix=$(scripts/windows-toolchain.sh)
linux_cut=
if [ "${1:-}" = test ]; then
    [ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target velmora-cut
    linux_cut=$PWD/build/velmora-cut
fi
export VELMORA_WINDOWS_PREFIX=$prefix PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/scripts/windows/mingw-w64.cmake" \
    -DVELMORA_WINDOWS_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr \
    -DVELMORA_LINUX_CUT="$linux_cut" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
cmake --build build-windows

version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=build-windows/velmora-$version-windows-x64.zip
rm -rf build-windows/zip "$zip"
mkdir -p "build-windows/zip/velmora-$version"
cp build-windows/velmora.exe build-windows/velmora-cut.exe LICENSE "build-windows/zip/velmora-$version/"
x86_64-w64-mingw32-strip "build-windows/zip/velmora-$version/"*.exe
(cd build-windows/zip && zip -qr "../$(basename "$zip")" "velmora-$version")
makensis -V2 -DVERSION="$version" -DBUILD="$PWD/build-windows/zip/velmora-$version" -DSOURCE="$PWD" \
    -DOUTFILE="$PWD/build-windows/velmora-$version-setup.exe" scripts/windows/velmora.nsi
echo "windows: $zip and build-windows/velmora-$version-setup.exe"
[ "${1:-}" = test ] || exit 0

# A Japanese Windows, as the program was made for, that knows the suite's fonts
# alone: Wine reads them through fontconfig and keeps what it found in the
# prefix, which is made anew each time.
export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export FONTCONFIG_FILE=$PWD/build-windows/test-fonts/fonts.conf LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
/usr/lib/wine/wineserver -w
ctest --test-dir build-windows --output-on-failure --timeout 600
xvfb-run -a -s "-screen 0 1024x768x24" tests/windows/real_window_test.sh \
    build-windows/velmora.exe build-windows/velmora-cut.exe
xvfb-run -a -s "-screen 0 1024x768x24" tests/windows/packages_test.sh "$zip" \
    "build-windows/velmora-$version-setup.exe"
