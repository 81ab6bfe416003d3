#!/usr/bin/env bash
# Builds the release with CMake's default generator and Debian's hardening
# flags, makes the Debian package with cpack and checks it as a packager would,
# without installing it: lintian's every tag (pedantic ones included), the
# files a staging unpack holds, the desktop entry and AppStream data validated
# (pedantic), the man pages rendered (every option of --help in velmora-cut's,
# English and Japanese, and its exit statuses once),
# the bash completion, and velmora-cut run from the staging.
# The package is left in build-package/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
rm -rf build-package
# Debian's build flags with every hardening feature, as dpkg-buildpackage sets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS
# cpack strips the programs; the compiler's notes go too, as dh_strip takes them.
mkdir -p build-package
printf '#!/bin/sh\nexec strip --remove-section=.comment --remove-section=.note "$@"\n' \
    > build-package/strip
chmod +x build-package/strip
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF \
    -DCMAKE_STRIP="$PWD/build-package/strip" >/dev/null
cmake --build build-package -j"$(nproc)" >/dev/null
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/velmora_*.deb)
passed=0 failed=0
check() { # name command...
    if "${@:2}" >build-package/check.log 2>&1; then
        passed=$((passed + 1)); echo "ok: $1"
    else
        failed=$((failed + 1)); echo "FAILED: $1"; sed 's/^/    /' build-package/check.log
    fi
}
stage=build-package/stage
mkdir -p "$stage" && dpkg-deb -x "$deb" "$stage"
id=org.velmora.velmora
export PATH="$PWD/$stage/usr/bin:$PATH"

check "lintian -I --pedantic: nothing but the first upload's tag" bash -c \
    "out=\$(lintian -I --pedantic '$deb') && ! grep -vE ' initial-upload-closes-no-bugs( |\$)' <<<\"\$out\""
check "the package's files" bash -c "for f in usr/bin/velmora usr/bin/velmora-cut \
    usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/16x16/apps/$id.png usr/share/icons/hicolor/256x256/apps/$id.png \
    usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/man/man1/velmora.1.gz \
    usr/share/man/man1/velmora-cut.1.gz usr/share/man/ja/man1/velmora-cut.1.gz \
    usr/share/bash-completion/completions/velmora-cut \
    usr/share/doc/velmora/copyright usr/share/doc/velmora/changelog.Debian.gz; do
    [ -s '$stage'/\$f ] || { echo missing \$f; exit 1; }; done"
check "the programs find their libraries through the system, no search path of their own" bash -c \
    "! readelf -d '$stage/usr/bin/velmora' '$stage/usr/bin/velmora-cut' | grep -E 'RPATH|RUNPATH'"
check "dependencies computed from the programs" bash -c \
    "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6' && dpkg-deb -f '$deb' Depends | grep -q fonts-ipafont"
check "desktop-file-validate" desktop-file-validate "$stage/usr/share/applications/$id.desktop"
check "appstreamcli validate --pedantic" \
    appstreamcli validate --pedantic --no-net "$stage/usr/share/metainfo/$id.metainfo.xml"
check "man velmora" bash -c "man -l '$stage/usr/share/man/man1/velmora.1.gz' | grep -q Velmora.Ini"
check "man velmora-cut holds every option of --help, and its exit statuses once" bash -c "
    page=\$(MANWIDTH=200 man -l '$stage/usr/share/man/man1/velmora-cut.1.gz')
    for o in \$(velmora-cut --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- \"\$o\" <<<\"\$page\" || { echo \"no \$o\"; exit 1; }; done
    [ \"\$(grep -ci 'exit status' <<<\"\$page\")\" = 1 ] && grep -q EXAMPLES <<<\"\$page\""
check "man velmora-cut in Japanese holds every option of the Japanese --help" bash -c "
    page=\$(LC_ALL=ja_JP.UTF-8 MANWIDTH=200 man -l '$stage/usr/share/man/ja/man1/velmora-cut.1.gz')
    for o in \$(LC_ALL=ja_JP.UTF-8 velmora-cut --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- \"\$o\" <<<\"\$page\" || { echo \"no \$o\"; exit 1; }; done
    [ \"\$(grep -c '終了' <<<\"\$page\")\" = 1 ] && grep -q '^オプション' <<<\"\$page\" &&
        grep -q '^終了ステータス' <<<\"\$page\" && grep -q '^例' <<<\"\$page\""
check "velmora-cut --pn<Tab> completes --png-level" bash -c "
    source '$stage/usr/share/bash-completion/completions/velmora-cut'
    COMP_WORDS=(velmora-cut --pn); COMP_CWORD=1; _velmora_cut
    [ \"\${COMPREPLY[*]}\" = --png-level ]"
check "velmora-cut from the package writes a PNG" bash -c \
    "velmora-cut --size 20 -o - Sample | head -c 8 | grep -q PNG"
if [ "$failed" -eq 0 ]; then
    echo "package $(basename "$deb"): all $passed checks passed"
else
    echo "package $(basename "$deb"): $failed of $((passed + failed)) checks FAILED"
    exit 1
fi
