#!/usr/bin/env bash
# kvprog --print-pdf draws a file's settings sheet into a one-page PDF with no display.
set -euo pipefail
kvprog="$1"
cli="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

printf 'CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power\r\n' > "$work/in.csv"
printf '2,462.5625,467.5625,67.0,D023N,YES,Narrow,Delete,Low\r\n' >> "$work/in.csv"
"$cli" new --type "KV - T520" "$work/base.sin"
"$cli" import "$work/in.csv" "$work/base.sin" "$work/sheet.sin"

env -u DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work" \
    "$kvprog" --print-pdf "$work/sheet.pdf" "$work/sheet.sin"
[ "$(pdfinfo "$work/sheet.pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || fail "not one page"
text=$(pdftotext -layout "$work/sheet.pdf" -)
for want in "The Radio Settings" "KV - T520" "462.56250" "467.56250" "D023N" "Narrow"; do
    grep -qF "$want" <<<"$text" || fail "the sheet lacks \"$want\""
done

# A file that cannot be opened: exit 1 and no PDF.
if env -u DISPLAY XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen \
        "$kvprog" --print-pdf "$work/none.pdf" "$work/missing.sin" 2>/dev/null; then
    fail "a missing file printed"
fi
[ ! -e "$work/none.pdf" ] || fail "a PDF was written for a missing file"
echo "print-pdf: one page with the file's settings"
