#!/usr/bin/env bash
# Builds kvprog for Windows on this Linux machine, with MinGW-w64 and a Qt for MinGW:
#   scripts/windows.sh [BUILD_DIR]          (default build-win)
# The Qt is KV_QT_MINGW (an unpacked Qt for MinGW-w64, posix threads, with its
# lib/cmake/Qt6/qt.toolchain.cmake), or else ../shared/qt6-mingw/qt6-mingw-*.tar.xz unpacked
# into build-win-qt/. The programs and the test programs land in BUILD_DIR/bin with the DLLs
# and plugins they need.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
build="${1:-build-win}"
ensure_packages "${WINDOWS_PACKAGES[@]}"

if [ -z "${KV_QT_MINGW:-}" ]; then
    archive=$(ls ../shared/qt6-mingw/qt6-mingw-*.tar.xz 2>/dev/null | head -n 1 || true)
    if [ -z "$archive" ]; then
        echo "windows.sh: no Qt for MinGW: set KV_QT_MINGW to one (see the README, Windows)" >&2
        exit 1
    fi
    KV_QT_MINGW="$PWD/build-win-qt/qt6-mingw"
    if [ ! -f "$KV_QT_MINGW/lib/cmake/Qt6/qt.toolchain.cmake" ] ||
        [ "$archive" -nt "$KV_QT_MINGW/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
        rm -rf build-win-qt && mkdir -p build-win-qt
        tar -C build-win-qt -xJf "$archive"
    fi
fi

# The icons are drawn while building by a tool that must run here: this machine's build of it.
host="${KV_HOST_BUILD:-build}"
[ -f "$host/build.ninja" ] || cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$host" -j2 --target kvprog_icons

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKV_ICONS_TOOL="$PWD/$host/app/kvprog_icons" \
    -DCMAKE_TOOLCHAIN_FILE="$KV_QT_MINGW/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null
# Every target: the programs, the print module and the test programs that
# tests/win/unit_wine.sh runs.
cmake --build "$build" -j2
"$KV_QT_MINGW/bin/qt-mingw-deploy.sh" "$build/bin" "$KV_QT_MINGW" >/dev/null
# The test programs' widgets draw offscreen.
PLUGINS=platforms/qoffscreen "$KV_QT_MINGW/bin/qt-mingw-deploy.sh" "$build/bin" "$KV_QT_MINGW" >/dev/null
