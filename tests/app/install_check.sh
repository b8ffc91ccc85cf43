#!/usr/bin/env bash
# `cmake --install` puts the programs, the menu entry, the icon and the *.sin file type in
# place, and the desktop database tools accept them.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/kvprog bin/kvprog-cli lib/kvprog/libkvprintsupport.so \
            share/applications/kvprog.desktop \
            share/mime/packages/kvprog.xml share/icons/hicolor/scalable/apps/kvprog.svg \
            share/doc/kvprog/guide.md; do
    [ -e "$prefix/$file" ] || fail "$file was not installed"
done
desktop-file-validate "$prefix/share/applications/kvprog.desktop"
grep -q '^MimeType=application/x-kv-ii-document;$' "$prefix/share/applications/kvprog.desktop" \
    || fail "the menu entry does not open channel data files"
update-mime-database "$prefix/share/mime"
grep -q 'application/x-kv-ii-document:\*\.sin' "$prefix/share/mime/globs2" \
    || fail "*.sin is not mapped to the channel data type"
grep -q 'KV_II Document' "$prefix/share/mime/application/x-kv-ii-document.xml" \
    || fail "the type has no description"
echo "install check: all files in place"
