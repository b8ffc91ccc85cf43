#!/usr/bin/env bash
# kvprog-cli diff on two files: each kind of difference in text and JSON, and the exit status
# of diff(1): 0 the same, 1 they differ, 2 trouble.
set -euo pipefail
cli="$1"
. "$(dirname "$0")/cli_lib.sh"

# poke FILE ADDRESS HEX...: overwrites bytes of FILE from ADDRESS on.
poke() {
    local file="$1" address="$2"; shift 2
    local byte
    for byte in "$@"; do
        printf "\\x$byte" | dd of="$file" bs=1 seek=$((address)) conv=notrunc status=none
        address=$((address + 1))
    done
}

"$cli" new base.sin
printf 'CH,Receive(MHz),Transmit(MHz),Rx Tone\r\n3,462.5625,462.5625,67.0\r\n' >a.csv
printf 'CH,Receive(MHz),Transmit(MHz),Rx Tone\r\n3,462.5625,462.5625,71.9\r\n' >b.csv
"$cli" import a.csv base.sin a.sin
"$cli" import b.csv base.sin b.sin
poke b.sin 0x3C1 05        # Squelch Level 9 -> 5
poke b.sin 0x3C5 fc        # PTT ID BOTH -> OFF
poke b.sin 0x3D8 00 01     # bytes no field shows

# The same file twice: nothing printed, exit 0, in both forms.
cp a.sin a-copy.sin
expect_exit 0 "$cli" diff a.sin a-copy.sin
[ ! -s out.txt ] || fail "the same files printed: $(cat out.txt)"
expect_exit 0 "$cli" diff --json a.sin a-copy.sin
python3 -c 'import json, sys; d = json.load(sys.stdin); assert d == {"same": True, "differences": []}, d' \
    <out.txt || fail "JSON of the same files: $(cat out.txt)"

# One of each kind, A's value first.
expect_exit 1 "$cli" diff a.sin b.sin
cat >want.txt <<'EOF'
Squelch  Level: 9 -> 5
CH 3 Rx Tone: 67.0 -> 71.9
PTT ID: BOTH -> OFF
0x3D8-0x3D9: FF FF -> 00 01
EOF
diff want.txt out.txt || fail "the text form differs"
expect_exit 1 "$cli" diff --json a.sin b.sin
python3 -c '
import json, sys
d = json.load(sys.stdin)
assert d["same"] is False, d
want = [
    {"kind": "setting", "field": "Squelch  Level", "a": "9", "b": "5"},
    {"kind": "channel", "field": "Rx Tone", "channel": 3, "a": "67.0", "b": "71.9"},
    {"kind": "feature", "field": "PTT ID", "a": "BOTH", "b": "OFF"},
    {"kind": "bytes", "field": "0x3D8-0x3D9", "a": "FF FF", "b": "00 01"},
]
assert d["differences"] == want, d["differences"]
' <out.txt || fail "the JSON form differs: $(cat out.txt)"
# An emptied cell reads as empty, not as lost.
expect_exit 1 "$cli" diff a.sin base.sin
grep -qxF 'CH 3 Receive(MHz): 462.56250 -> ""' out.txt || fail "an empty cell: $(cat out.txt)"

# Trouble: exit 2 with a message, nothing on standard output.
expect_exit 2 "$cli" diff a.sin
grep -qF 'usage: kvprog-cli diff' err.txt || fail "one file without a port: $(cat err.txt)"
expect_exit 2 "$cli" diff --port /dev/null a.sin b.sin
expect_exit 2 "$cli" diff --retries 2 a.sin b.sin
expect_exit 2 "$cli" diff a.sin b.sin base.sin
expect_exit 2 "$cli" diff a.sin missing.sin
[ ! -s out.txt ] || fail "a missing file printed: $(cat out.txt)"
head -c 5 a.sin >short.sin
expect_exit 2 "$cli" diff short.sin a.sin
grep -q 'holds 5 bytes; a channel data file holds 1024' err.txt || fail "short file: $(cat err.txt)"
expect_exit 2 sh -c '"$0" diff a.sin b.sin >/dev/full' "$cli"
grep -q 'cannot write to standard output' err.txt || fail "diff to a full disk: $(cat err.txt)"
echo "cli diff: all checks passed"
