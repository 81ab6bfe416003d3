#!/usr/bin/env bash
# Builds what Velmora links against on Windows, static, for x86_64 MinGW-w64, from
# Debian's own source packages (the versions the Linux build uses): zlib, libpng,
# libdeflate, giflib, libjpeg-turbo, FreeType, HarfBuzz, FriBidi, and Qt Core, Gui
# and Widgets with the Windows platform plugin.
# The result goes into a cache folder outside the tree, one folder per version of
# this script and the toolchain file, and is built only where it is missing.
# Prints that folder. Needs scripts/install-deps.sh windows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
toolchain_file=$here/windows/mingw-w64.cmake
key=$(cat "$0" "$toolchain_file" | sha256sum | cut -c1-12)
cache=${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-windows}
prefix=$cache/toolchain-$key
if [ -f "$prefix/complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/work-$key
# What earlier versions of this script built, or left half-built, goes.
rm -rf "$cache"/work-* "$cache"/toolchain-*
mkdir -p "$work" "$prefix/lib/pkgconfig" "$prefix/include"
host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
export VELMORA_WINDOWS_PREFIX=$prefix
cross=(-G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" -DCMAKE_BUILD_TYPE=Release
       -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF)
started=$SECONDS

# Runs a step with its output in a log, shown only when the step fails.
step() {
    local name=$1
    shift
    local log=$work/$name.log
    echo "windows toolchain: $name ($((SECONDS - started)) s)" >&2
    if ! "$@" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "windows toolchain: $name failed; the whole log is $log" >&2
        exit 1
    fi
}

# Unpacks Debian's source package, its patches applied, and prints its folder.
unpack() {
    (cd "$work" && apt-get source -qq "$1" >/dev/null 2>&1) || {
        echo "windows toolchain: apt-get source $1 failed (is there a deb-src entry?)" >&2
        exit 1
    }
    ls -d "$work/$1"-*/ | head -n 1
}

cmake_library() { # source folder, then CMake options
    local src=$1
    shift
    cmake -S "$src" -B "$src/build" "${cross[@]}" "$@" && cmake --build "$src/build" &&
        cmake --install "$src/build"
}

build_zlib() {
    local src
    src=$(unpack zlib)
    (cd "$src" &&
        $CC -O2 -c adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c \
            gzwrite.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c &&
        $AR rcs libz.a ./*.o) &&
        install -m 644 "$src/libz.a" "$prefix/lib/" &&
        install -m 644 "$src/zlib.h" "$src/zconf.h" "$prefix/include/" &&
        printf 'prefix=%s\nName: zlib\nDescription: zlib\nVersion: 1.2.13\nLibs: -L${prefix}/lib -lz\nCflags: -I${prefix}/include\n' \
            "$prefix" >"$prefix/lib/pkgconfig/zlib.pc"
}

build_libpng() {
    cmake_library "$(unpack libpng1.6)" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
}

build_libdeflate() {
    local src
    src=$(unpack libdeflate)
    make -C "$src" CC="$CC" AR="$AR" libdeflatestatic.lib &&
        install -m 644 "$src/libdeflatestatic.lib" "$prefix/lib/libdeflate.a" &&
        install -m 644 "$src/libdeflate.h" "$prefix/include/" &&
        printf 'prefix=%s\nName: libdeflate\nDescription: libdeflate\nVersion: 1.14\nLibs: -L${prefix}/lib -ldeflate\nCflags: -I${prefix}/include\n' \
            "$prefix" >"$prefix/lib/pkgconfig/libdeflate.pc"
}

build_giflib() {
    local src
    src=$(unpack giflib)
    (cd "$src" &&
        $CC -O2 -c dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c \
            openbsd-reallocarray.c &&
        $AR rcs libgif.a ./*.o) &&
        install -m 644 "$src/libgif.a" "$prefix/lib/" &&
        install -m 644 "$src/gif_lib.h" "$prefix/include/"
}

build_libjpeg() {
    cmake_library "$(unpack libjpeg-turbo)" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
        -DCMAKE_ASM_NASM_COMPILER=nasm
}

build_freetype() { # as Debian builds it: zlib and PNG, neither bzip2 nor HarfBuzz
    cmake_library "$(unpack freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_REQUIRE_PNG=ON \
        -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

build_harfbuzz() {
    cmake_library "$(unpack harfbuzz)" -DHB_HAVE_FREETYPE=ON -DHB_BUILD_SUBSET=OFF \
        -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF -DHB_HAVE_GOBJECT=OFF -DHB_BUILD_UTILS=OFF
}

build_fribidi() {
    local src
    src=$(unpack fribidi)
    (cd "$src" && ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared \
        --disable-docs && make -C lib install && make install-pkgconfigDATA)
}

# Qt Core, Gui and Widgets: no ICU (Windows collates itself), its own zlib and
# PCRE2, the PNG and HarfBuzz libraries above (one copy of each in a program);
# Windows draws the window's own text, so no FreeType; no OpenGL, and no pen
# tablets, whose Wintab headers Debian's source leaves out.
build_qt() {
    local src
    src=$(unpack qt6-base)
    mkdir -p "$work/qt-build"
    (cd "$work/qt-build" &&
        "$src/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr -release \
            -static -static-runtime -no-icu -qt-zlib -qt-pcre -qt-doubleconversion \
            -system-libpng -system-harfbuzz -no-freetype -no-libjpeg -no-gif \
            -no-dbus -no-opengl -nomake examples -nomake tests \
            -no-feature-network -no-feature-sql -no-feature-xml -no-feature-testlib \
            -no-feature-concurrent -no-feature-printsupport -no-feature-tabletevent \
            -no-feature-vulkan -- \
            -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake &&
        cmake --build . && cmake --install .)
}

for library in zlib libpng libdeflate giflib libjpeg freetype harfbuzz fribidi qt; do
    step "$library" "build_$library"
done
rm -rf "$work"
touch "$prefix/complete"
echo "windows toolchain: built in $((SECONDS - started)) s" >&2
echo "$prefix"
