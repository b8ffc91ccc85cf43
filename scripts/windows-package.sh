#!/usr/bin/env bash
# Makes the Windows installer and the portable zip from a build of scripts/windows.sh:
#   scripts/windows-package.sh [BUILD_DIR]       (default build-win)
# -> BUILD_DIR/kvprog-VERSION-setup.exe and BUILD_DIR/kvprog-VERSION-windows.zip, the same
# files in both: bin\ (the programs, stripped, with the Qt and MinGW DLLs and plugins),
# share\doc\kvprog\guide.md (F1 finds it as ..\share from bin\), licenses\.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
build=$(realpath "${1:-build-win}")
ensure_packages "${WINDOWS_PACKAGES[@]}"

version=$(sed -n 's/^project(kvprog VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "windows-package.sh: no version in CMakeLists.txt" >&2; exit 1; }
name="kvprog-$version"
out="$build/package"
stage="$out/$name"
rm -rf "$out" && mkdir -p "$stage/bin" "$stage/share/doc/kvprog" "$stage/licenses"

# The programs and what they load; whatever else lands in bin\ (test programs) stays out.
cp "$build/bin/kvprog.exe" "$build/bin/kvprog-cli.exe" "$build/bin"/*.dll "$stage/bin/"
for dir in "$build/bin"/*/; do
    cp -r "$dir" "$stage/bin/"
done
find "$stage/bin" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
cp docs/guide.md "$stage/share/doc/kvprog/"

# The licences of what ships, as this machine's packages carry them.
licenses="$stage/licenses"
cp desktop/windows/licenses-readme.txt "$licenses/README.txt"
cp /usr/share/common-licenses/LGPL-3 "$licenses/LGPL-3.0.txt"
cp /usr/share/common-licenses/GPL-3 "$licenses/GPL-3.0.txt"
cp /usr/share/doc/libqt6core6/copyright "$licenses/Qt-copyright.txt"
cp /usr/share/doc/libqt6svg6/copyright "$licenses/Qt-svg-copyright.txt"
# The exception's text, from its title to the end of its last section (2., one paragraph).
awk '/^GCC RUNTIME LIBRARY EXCEPTION$/ { on = 1 } on { print }
     on && /^2\. No Weakening/ { last = 1 } last && /^$/ && ++blank == 2 { exit }' \
    /usr/share/doc/gcc-mingw-w64-base/copyright >"$licenses/GCC-runtime-library-exception.txt"
grep -q "requirements of the license of GCC" "$licenses/GCC-runtime-library-exception.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$licenses/mingw-w64-copyright.txt"
# Windows' own editors expect CR LF.
sed -i 's/\r\?$/\r/' "$licenses"/*.txt

# The uninstaller removes exactly these files and then their folders, deepest first.
files="$out/files.nsh"
(
    cd "$stage"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
) >"$files"

setup="$build/$name-setup.exe"
zip="$build/$name-windows.zip"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" \
    -DICON="$build/app/kvprog.ico" -DOUTFILE="$setup" desktop/windows/kvprog.nsi
rm -f "$zip"
(cd "$out" && zip -qr -9 "$zip" "$name")
echo "$setup"
echo "$zip"
