#!/usr/bin/env bash
# kvprog.exe under wine prints a file's settings sheet into a PDF from the command line: the
# print module loads from beside the program, the sheet has its texts (the fonts of the
# Windows desktop), and names in any script are taken whole. It is a windowed program (no
# console window of its own) that still answers --version on its standard output.
#   tests/win/print_wine.sh [LINUX_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
win=$(realpath "${2:-build-win}")
. "$(dirname "$0")/wait_lib.sh"
use_prefix "$win"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "print_wine: $*" >&2; exit 1; }

"$build/bin/kvprog-cli" new --type "KV - T520" "Kunde Müller.sin" 2>/dev/null
# A Windows program always has a desktop: xvfb-run gives wine one.
timeout 120 xvfb-run -a wine "$win/bin/kvprog.exe" --print-pdf "客户.pdf" "Kunde Müller.sin" \
    >/dev/null 2>&1 || fail "kvprog.exe --print-pdf failed"
[ -s "客户.pdf" ] || fail "no PDF"
pdftotext "客户.pdf" - | grep -q "Type: *KV - T520" || fail "the sheet lacks its texts: $(pdftotext "客户.pdf" - | head -5)"
subsystem=$(objdump -p "$win/bin/kvprog.exe" | grep "^Subsystem")
[[ "$subsystem" == *"Windows GUI"* ]] || fail "kvprog.exe opens a console window: $subsystem"
version=$(timeout 120 wine "$win/bin/kvprog.exe" --version 2>/dev/null | tr -d '\r')
[[ "$version" == "kvprog "[0-9]* ]] || fail "kvprog.exe --version printed: $version"
echo "wine: kvprog.exe prints a sheet into a PDF, and answers --version without a window"
