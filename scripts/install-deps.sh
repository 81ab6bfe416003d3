#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need;
# with "fuzz", also clang for the fuzz targets; with "package", the tools that
# make and check the Debian package; with "stress", fonts the tests must not
# depend on (scripts/stress-test.sh); with "windows", the cross compilers, Wine
# and a deb-src entry for Debian's sources (scripts/windows.sh).
# Idempotent: quiet and quick when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-l10n-tools qt6-tools-dev
    libpng-dev libjpeg62-turbo-dev libgif-dev libdeflate-dev libfontconfig-dev libfreetype-dev libharfbuzz-dev libfribidi-dev
    librsvg2-bin poppler-utils qpdf mupdf-tools libxml2-utils help2man unicode-data python3-fonttools
    libharfbuzz-bin libfribidi-bin
    libgtest-dev libbenchmark-dev
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core fonts-noto-color-emoji
    qt6-translations-l10n
    xvfb xauth xdotool xclip imagemagick locales
    dbus at-spi2-core python3-pyatspi
)
[ "${1:-}" = fuzz ] && packages+=(clang)
[ "${1:-}" = package ] && packages+=(dpkg-dev lintian desktop-file-utils appstream man-db)
[ "${1:-}" = stress ] && packages+=(fonts-noto-core fonts-noto-cjk)
[ "${1:-}" = windows ] && packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 nasm dpkg-dev wine wine64 xauth xvfb locales
    nsis zip unzip)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
new_sources=false
if [ "${1:-}" = windows ] && ! grep -rqs "^Types: deb-src\|^deb-src " /etc/apt/sources.list \
    /etc/apt/sources.list.d/; then
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
        "Suites: bookworm bookworm-updates" "Components: main" \
        "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
        $sudo tee /etc/apt/sources.list.d/velmora-deb-src.sources >/dev/null
    new_sources=true
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ] || [ "$new_sources" = true ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The window's tests run under a Japanese locale too, velmora-cut's Japanese man
# page is made under it, and the Windows tests run on a Japanese Windows: Wine
# takes its locale from the C library's.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
