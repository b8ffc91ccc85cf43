#!/usr/bin/env bash
# kvprog-cli.exe under wine against kvradio-sim, reached as COM5 through wine's port map (a
# link in the prefix's dosdevices): a read gives the bytes the Linux program reads, a safe
# write lands in the radio, and a silent radio ends with its message and exit code; the demo
# port reads as on Linux.
#   tests/win/cli_wine.sh [LINUX_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-build}")
win=$(realpath "${2:-build-win}")
sim="$build/bin/kvradio-sim"
group=wine
. "$root/tests/win/wait_lib.sh"
use_prefix "$win"
. "$root/tests/e2e/radio_lib.sh"
cli="$work/kvprog-cli-wine"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$win/bin/kvprog-cli.exe" >"$cli"
chmod +x "$cli"

# run_exe WANT ARGS...: run_cli on the Windows program; its lines end as Windows ends them
# (CR LF), and are compared without the CR.
run_exe() {
    run_cli "$@"
    sed -i 's/\r$//' out.txt err.txt
}

# on_com5 NAME ARGS...: a radio as start_sim starts it, and COM5 leading to it.
on_com5() {
    start_sim "$@"
    ln -sfn "$port" "$WINEPREFIX/dosdevices/com5"
}

# A name in two scripts beyond the code page's reaches the program whole.
on_com5 windows
run_exe 0 read --port COM5 "Kunde Müller 客户.sin"
stop_sim
mv "Kunde Müller 客户.sin" windows.sin
start_sim linux
"$build/bin/kvprog-cli" read --port "$port" linux.sin 2>/dev/null || fail "the Linux read failed"
stop_sim
cmp windows.sin linux.sin || fail "the Windows read differs from the Linux read"
[ "$(pc_stream windows.log)" = "$(pc_stream linux.log)" ] ||
    fail "the Windows program sent other bytes than the Linux program"

"$build/bin/kvprog-cli" new --type "KV - T520" fresh.sin 2>/dev/null
on_com5 windows-write --image windows.sin --save windows-saved.sin
run_exe 0 write --port COM5 --force-type fresh.sin
grep -q "the radio holds what was written" err.txt || fail "no check after the write: $(cat err.txt)"
stop_sim
start_sim linux-write --image windows.sin --save linux-saved.sin
"$build/bin/kvprog-cli" write --port "$port" --force-type fresh.sin 2>/dev/null ||
    fail "the Linux write failed"
stop_sim
cmp windows-saved.sin linux-saved.sin || fail "the radio holds other bytes than after a Linux write"
[ "$(pc_stream windows-write.log)" = "$(pc_stream linux-write.log)" ] ||
    fail "the Windows write sent other bytes than the Linux write"
ls "$WINEPREFIX"/drive_c/users/*/AppData/Local/kvprog/backups/*-before-write.sin >/dev/null ||
    fail "no backup before the write in the user's application data"

on_com5 silent --fault silent
run_exe 1 read --port COM5 got.sin
expect_message "Communication Error，Please check all the connections and the radio power"
stop_sim
# The demo port needs no port map: the program's own simulated radio, the same on both systems.
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/kvprog/demo-radio.sin
run_exe 0 read --port DEMO windows-demo.sin
XDG_DATA_HOME="$work/data" "$build/bin/kvprog-cli" read --port DEMO linux-demo.sin 2>/dev/null ||
    fail "the Linux read of the demo port failed"
cmp windows-demo.sin linux-demo.sin || fail "the demo radio holds other bytes on Windows"
echo "wine: read, safe write and a silent radio through COM5, and the demo port, behave as on Linux"
