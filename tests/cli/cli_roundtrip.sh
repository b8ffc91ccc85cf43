#!/usr/bin/env bash
# kvprog-cli from the outside: new -> export -> import -> show, the same bytes under a
# comma-decimal locale, and clean refusals of bad input.
set -euo pipefail
cli="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_exit() {  # expect_exit CODE COMMAND...
    local want="$1"; shift
    local got=0
    "$@" >out.txt 2>err.txt || got=$?
    [ "$got" -eq "$want" ] || fail "$* exited $got, expected $want: $(cat err.txt)"
}

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
expect_exit 0 "$cli" --version
grep -q '^kvprog-cli [0-9]' out.txt || fail "--version printed $(cat out.txt)"
expect_exit 0 "$cli" --help
grep -q 'import IN.csv BASE.sin OUT.sin' out.txt || fail "--help lacks import"
echo "cli round trip: all checks passed"
