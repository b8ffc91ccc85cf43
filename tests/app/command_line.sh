#!/usr/bin/env bash
# kvprog's command line with no display: --help and --version answer on standard output, an
# option it does not know is refused (exit 2) rather than opened as a file, and --print-pdf
# draws a file's settings sheet into a one-page PDF.
set -euo pipefail
kvprog="$1"
cli="$2"
version="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

asked() {  # asked ARGS...: kvprog with no display at all; its status, its output in out/err
    local got=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work" timeout 20 \
        "$kvprog" "$@" >"$work/out" 2>"$work/err" </dev/null || got=$?
    echo "$got"
}
[ "$(asked --help)" = 0 ] || fail "--help: exit $(asked --help): $(cat "$work/err")"
for want in "Usage: kvprog" "FILE.sin" --demo --print --print-to --print-pdf --version; do
    grep -qF -- "$want" "$work/out" || fail "--help does not describe $want"
done
[ ! -s "$work/err" ] || fail "--help wrote to standard error: $(cat "$work/err")"
[ "$(asked --version)" = 0 ] || fail "--version: exit $(asked --version): $(cat "$work/err")"
[ "$(cat "$work/out")" = "kvprog $version" ] || fail "--version says \"$(cat "$work/out")\""
[ "$(asked --no-such-option)" = 2 ] || fail "an unknown option did not exit with 2"
grep -qF "no-such-option" "$work/err" || fail "the refusal does not name the option"
[ ! -s "$work/out" ] || fail "a refusal wrote to standard output"

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

# Nothing is reported as written that was not, and a PDF that was there stays as it was.
print_to() {  # print_to OUT IN: kvprog --print-pdf, its status; the message in err.txt
    local got=0
    env -u DISPLAY XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen timeout 20 \
        "$kvprog" --print-pdf "$1" "$2" 2>"$work/err.txt" || got=$?
    echo "$got"
}
[ "$(print_to /dev/full "$work/sheet.sin")" = 1 ] || fail "/dev/full took the PDF"
grep -qF 'it is a device, not a file' "$work/err.txt" || fail "no reason for /dev/full: $(cat "$work/err.txt")"
mkfifo "$work/fifo.pdf"
[ "$(print_to "$work/fifo.pdf" "$work/sheet.sin")" = 1 ] || fail "a FIFO took the PDF (or hung)"
cp "$work/sheet.sin" "$work/same.sin"
[ "$(print_to "$work/same.sin" "$work/same.sin")" = 1 ] || fail "the PDF went over its input"
cmp "$work/same.sin" "$work/sheet.sin" || fail "the input was replaced by its PDF"
cp "$work/sheet.pdf" "$work/keep.pdf" && chmod 444 "$work/keep.pdf"
[ "$(setpriv --reuid=65534 --regid=65534 --clear-groups true && echo ok)" = ok ] &&
    chown 65534:65534 "$work/keep.pdf" "$work" &&
    [ "$(env -u DISPLAY XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen timeout 20 \
            setpriv --reuid=65534 --regid=65534 --clear-groups \
            "$kvprog" --print-pdf "$work/keep.pdf" "$work/sheet.sin" 2>/dev/null; echo $?)" = 1 ] ||
    fail "a read-only PDF was replaced"
cmp "$work/keep.pdf" "$work/sheet.pdf" || fail "the read-only PDF changed"
echo "kvprog --help, --version and a refusal without a display; --print-pdf: one page"
