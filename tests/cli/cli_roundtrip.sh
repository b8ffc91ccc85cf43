#!/usr/bin/env bash
# kvprog-cli from the outside: new -> export -> import -> show, the same bytes under a
# comma-decimal locale, and clean refusals of bad input.
set -euo pipefail
cli="$1"
. "$(dirname "$0")/cli_lib.sh"

# new: both radio types, 1024 bytes each, differing where the type shows.
"$cli" new a.sin
"$cli" new --type "KV - T520" b.sin
[ "$(stat -c %s a.sin)" -eq 1024 ] || fail "new wrote $(stat -c %s a.sin) bytes"
[ "$(cmp -l a.sin b.sin | wc -l)" -gt 0 ] || fail "the radio types gave the same image"
[ "$(od -An -tx1 -j $((0x3D2)) -N5 b.sin | tr -d ' ')" = "f051353832" ] || fail "T520 model block"
expect_exit 2 "$cli" new --type "KV - T999" c.sin
[ ! -e c.sin ] || fail "a refused new wrote a file"

# import two channels, then export what the form would show.
printf 'CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power\r\n' > in.csv
printf '1,462.5625,467.5625,67.0,d023n,NO,Narrow,Add,High\r\n' >> in.csv
printf '16,450,,,,,,,\r\n' >> in.csv
"$cli" import in.csv a.sin c.sin
"$cli" export c.sin c.csv
grep -q $'^1,462.56250,467.56250,67.0,D023N,NO,Narrow,Add,High\r$' c.csv || fail "channel 1: $(sed -n 2p c.csv)"
grep -q $'^16,450.00000,,OFF,OFF,NO,Wide,Add,High\r$' c.csv || fail "channel 16: $(sed -n 17p c.csv)"
grep -q $'^8,,,,,,,,\r$' c.csv || fail "channel 8 should be empty"

# The channel record bytes of channel 1 as the radio expects them.
rec=$(od -An -tx1 -j $((0x10)) -N15 c.sin | tr -d ' \n')
[ "$rec" = "506225465062754670062380df0101" ] || fail "channel 1 record: $rec"

# Exporting and importing again changes nothing.
"$cli" import c.csv c.sin d.sin
cmp c.sin d.sin || fail "export -> import is not a fixed point"

# show reads back what was imported.
"$cli" show --json d.sin > d.json
grep -q '"Tx Tone": "D023N"' d.json || fail "show --json lacks the imported tone"
"$cli" show d.sin | grep -q '^Type: KV - T310X$' || fail "show text"

# A comma-decimal locale changes no byte and no character of the output.
locale -a | grep -qix 'de_DE.utf8' || fail "the de_DE.UTF-8 locale is missing (./test.sh generates it)"
LC_ALL=de_DE.UTF-8 "$cli" import in.csv a.sin e.sin
cmp c.sin e.sin || fail "de_DE.UTF-8 import differs from C"
LC_ALL=de_DE.UTF-8 "$cli" show --json d.sin | cmp - d.json || fail "de_DE.UTF-8 show differs"
LC_ALL=de_DE.UTF-8 "$cli" export d.sin - | cmp - c.csv || fail "de_DE.UTF-8 export differs"

# Bad input: a clear message, exit 2, and no output file.
printf 'CH,Receive(MHz)\r\n3,470.005\r\n' > bad.csv
expect_exit 2 "$cli" import bad.csv a.sin f.sin
grep -q 'row 2, column "Receive(MHz)", value "470.005": Out of range!' err.txt || fail "message: $(cat err.txt)"
[ ! -e f.sin ] || fail "a refused import wrote its output"
head -c 5 a.sin > short.sin
expect_exit 2 "$cli" show short.sin
grep -q 'holds 5 bytes; a channel data file holds 1024' err.txt || fail "short file: $(cat err.txt)"
expect_exit 2 "$cli" show missing.sin
expect_exit 2 "$cli" frobnicate
expect_exit 2 "$cli"
# Hostile input: nothing is lost, nothing reported as success that was not done.
expect_exit 2 sh -c '"$0" show d.sin >/dev/full' "$cli"
grep -q 'cannot write to standard output: the disk is full' err.txt || fail "show to a full disk: $(cat err.txt)"
expect_exit 2 sh -c '"$0" export d.sin - >/dev/full' "$cli"
grep -q 'cannot write to standard output' err.txt || fail "export to a full disk: $(cat err.txt)"
cp d.sin same.sin
expect_exit 2 "$cli" export same.sin ./same.sin
grep -q 'it is the same file as the input' err.txt || fail "export over its input: $(cat err.txt)"
cmp same.sin d.sin || fail "export replaced its own input"
expect_exit 2 "$cli" import in.csv a.sin in.csv
printf 'CH,Receive(MHz)\r\n1\r\n' > short.csv
expect_exit 2 "$cli" import short.csv c.sin g.sin
grep -q 'row 2 has fewer fields than the header' err.txt || fail "a cut row: $(cat err.txt)"
perl -e 'print "CH,Receive(MHz)\r\n1,", "9" x 900000, "\r\n"' > huge.csv
expect_exit 2 "$cli" import huge.csv c.sin g.sin
[ "$(wc -c < err.txt)" -lt 300 ] || fail "a huge value was echoed whole: $(wc -c < err.txt) bytes"
grep -q '"9999999999999999999999999999999999999999…"' err.txt || fail "the value is not cut: $(cat err.txt)"
for bad in nan NaN -inf inf; do
    expect_exit 2 "$cli" testmode --port /dev/null --item "TX Power" --value 1 --rx "$bad"
    grep -q "bad --rx \"$bad\"" err.txt || fail "--rx $bad: $(cat err.txt)"
done
long=$(printf 'n%.0s' $(seq 246)).sin
expect_exit 0 "$cli" new "$long"
[ "$(stat -c %s "$long")" -eq 1024 ] || fail "a long name was not saved"
# A file the user may not write to is kept; a file saved over keeps its owner.
mine=$(mktemp -d) && chmod 777 "$mine"
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
as_nobody "$cli" new "$mine/ro.sin" && chmod 444 "$mine/ro.sin" && cp "$mine/ro.sin" ro-before.sin
expect_exit 2 as_nobody "$cli" new --type "KV - T520" "$mine/ro.sin"
grep -q 'ro.sin": it is read-only.' err.txt || fail "a read-only file: $(cat err.txt)"
cmp "$mine/ro.sin" ro-before.sin || fail "a read-only file was replaced"
chmod 644 "$mine/ro.sin"
"$cli" new --type "KV - T520" "$mine/ro.sin"
[ "$(stat -c %u:%g "$mine/ro.sin")" = 65534:65534 ] || fail "saving as root took the file's owner"
rm -rf "$mine"

expect_exit 0 "$cli" --version
grep -q '^kvprog-cli [0-9]' out.txt || fail "--version printed $(cat out.txt)"
expect_exit 0 "$cli" --help
grep -q 'import IN.csv BASE.sin OUT.sin' out.txt || fail "--help lacks import"
echo "cli round trip: all checks passed"
