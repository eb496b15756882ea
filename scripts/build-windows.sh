#!/usr/bin/env bash
# Builds the Windows download on Debian 12: Qt for x86_64-w64-mingw32 from
# Debian's own qt6-base source (once, into a cache outside the tree), then the
# program and the substitute tool into build-windows/, and the portable zip
# build-windows/dranelwisp-<version>-win64.zip, whose path it prints.
#   --qt-only  only builds Qt into the cache
#   --test     also runs the Windows unit tests and the end-to-end test under
#              Wine and Xvfb; exits 0 only when all pass
# The Qt build takes about half an hour on two cores; its output goes to
# qt-build.log in the cache.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

mode=zip
case "${1:-}" in
    "") ;;
    --qt-only) mode=qt ;;
    --test) mode=test ;;
    *) echo "usage: $0 [--qt-only|--test]" >&2; exit 2 ;;
esac

cache=${XDG_CACHE_HOME:-$HOME/.cache}/dranelwisp
jobs=${DW_JOBS:-$(nproc)}
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

bash scripts/install-packages.sh cmake ninja-build mingw-w64 wine wine64 \
    qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils zip unzip xvfb xdotool

# The Windows Qt is built from the source of the Linux Qt the host tools come
# from, so the version is Debian's own (6.4.2 on Debian 12).
qt_deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
qt_version=${qt_deb_version%%+*}
qt_prefix=$cache/qt-$qt_version-mingw64
toolchain=$root/cmake/mingw-w64-x86_64.cmake

have_deb_src() {
    grep -Eqs '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources
}

add_deb_src() {
    have_deb_src && return
    local file=/etc/apt/sources.list.d/dranelwisp-deb-src.sources
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "No Debian source lines are configured: adding $file (deb-src for $codename)."
    "${sudo_cmd[@]}" tee "$file" >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    "${sudo_cmd[@]}" apt-get update -qq
}

build_qt() {
    [ -f "$qt_prefix/.complete" ] && return
    mkdir -p "$cache"
    local log=$cache/qt-build.log
    echo "Building Qt $qt_version for Windows into $qt_prefix (log: $log); this takes about half an hour."
    local src=$cache/src/qt6-base-$qt_deb_version
    if [ ! -f "$src/.unpacked" ]; then
        add_deb_src
        rm -rf "$cache/src"
        mkdir -p "$cache/src"
        # apt-get source unpacks and applies Debian's patches (dpkg-source).
        (cd "$cache/src" && apt-get source -qq "qt6-base=$qt_deb_version") >>"$log" 2>&1
        mv "$cache/src/qt6-base-$qt_version+dfsg" "$src"
        touch "$src/.unpacked"
    fi
    # Only Core, Gui, Widgets and Test, as DLLs (see the README's "Windows"),
    # with Qt's bundled third-party libraries. Debian's source lacks wintab, so
    # no tablet events; without OpenGL the Windows platform plugin needs
    # dynamicgl off as well. Without Direct2D, QtGui lacks the DirectWrite
    # font database that the plugin wants whenever directwrite3 is on; GDI
    # finds the fonts (DirectWrite still draws them).
    rm -rf "$cache/qt-build"
    nice -n 5 cmake -G Ninja -S "$src" -B "$cache/qt-build" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_jpeg=OFF -DFEATURE_zstd=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
        >>"$log" 2>&1 || { echo "Qt configure failed; see $log" >&2; return 1; }
    nice -n 5 cmake --build "$cache/qt-build" --parallel "$jobs" >>"$log" 2>&1 \
        || { echo "Qt build failed; see $log" >&2; return 1; }
    rm -rf "$qt_prefix"
    cmake --install "$cache/qt-build" >>"$log" 2>&1
    qt_notices
    touch "$qt_prefix/.complete"
    rm -rf "$cache/qt-build"
    echo "Qt for Windows is in $qt_prefix."
}

# Qt's licence texts and Debian's list of every copyright in its source go
# into the zip beside the DLLs.
qt_notices() {
    local notices=$qt_prefix/share/dranelwisp-notices
    [ -f "$notices/qt6-base-copyright.txt" ] && return
    local src=$cache/src/qt6-base-$qt_deb_version
    mkdir -p "$notices"
    cp "$src/LICENSES/LGPL-3.0-only.txt" "$src/LICENSES/GPL-3.0-only.txt" "$notices/"
    cp "$src/debian/copyright" "$notices/qt6-base-copyright.txt"
}

build_qt
qt_notices
[ "$mode" != qt ] || exit 0

# The program, the substitute tool, the Windows tests and the zip. Qt's
# toolchain file loads ours from this checkout, wherever Qt was built from.
build=$root/build-windows
"$qt_prefix/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" >/dev/null
if [ "$mode" = zip ]; then
    cmake --build "$build" --parallel "$jobs" --target windows-zip >&2
else
    cmake --build "$build" --parallel "$jobs" >&2
fi
zip=$(ls "$build"/dranelwisp-*-win64.zip)

if [ "$mode" = test ]; then
    # The unit tests share a Wine prefix made for this run; the end-to-end
    # test makes its own.
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
    wine wineboot --init >/dev/null 2>&1
    if ! (cd "$build" && ctest --output-on-failure -j"$jobs"); then
        for log in "$build"/tests/*/tst_*.log; do
            grep -q '^FAIL' "$log" && grep -v '^PASS' "$log"
        done
        exit 1
    fi
fi
echo "$zip"
