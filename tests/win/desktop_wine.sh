#!/usr/bin/env bash
# kvprog.exe under wine read a radio as a user does: kvradio-sim reached as COM1, chosen in the
# Port menu, Program > Read From Radio (Ctrl+R) and Start, then Save (Ctrl+S) through the file
# dialog as "Kunde Müller.sin"; the file holds what the Linux kvprog-cli reads from that radio.
#   tests/win/desktop_wine.sh [LINUX_BUILD_DIR] [WINDOWS_BUILD_DIR]
# KV_WINE_SHOTS=DIR keeps screenshots of the progress dialog and the main window there
# (WINEQT_SCALE_FACTOR=2 shows them at twice the size).
set -euo pipefail
# A screen of its own, with room for the window at twice the scale. No window manager: one
# brings fonts that change how the Linux program resolves its own (openbox brings
# ghostscript's), so keys go to a window raised and focused by xdotool itself.
if [ -z "${KV_WINE_SCREEN:-}" ]; then
    KV_WINE_SCREEN=1 exec xvfb-run -a -s "-screen 0 2200x1700x24" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-build}")
win=$(realpath "${2:-build-win}")
sim="$build/bin/kvradio-sim"
group=desktop-wine
shots="${KV_WINE_SHOTS:+$(realpath "$KV_WINE_SHOTS")}"
[ -z "$shots" ] || mkdir -p "$shots"
. "$root/tests/win/wait_lib.sh"
use_prefix "$win"
. "$root/tests/e2e/radio_lib.sh"
program_pid=""
trap 'kill $program_pid 2>/dev/null || true; wineserver -k; cleanup' EXIT

# window NAME: the id of the shown window with this title, once there.
shown() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window() {
    wait_for shown "$1" >/dev/null && shown "$1"
}
# keys WINDOW KEY...: pressed in that window, brought to the front as a user would.
keys() {
    local id="$1"; shift
    timeout 60 xdotool windowraise "$id" windowfocus --sync "$id" key --clearmodifiers "$@"
}
# shot NAME: the screen, when screenshots are asked for.
shot() {
    [ -z "$shots" ] || import -window root "$shots/$1-scale${WINEQT_SCALE_FACTOR:-1}.png"
}

printf '%s\r\n' 'CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power' \
    '1,462.5625,467.5625,67.0,67.0,NO,Narrow,Add,High' \
    '2,462.5875,467.5875,D023N,D023N,YES,Wide,Add,Middle' >channels.csv
"$build/bin/kvprog-cli" new blank.sin 2>/dev/null
"$build/bin/kvprog-cli" import channels.csv blank.sin radio.sin 2>/dev/null
start_sim linux --image radio.sin
"$build/bin/kvprog-cli" read --port "$port" linux.sin 2>/dev/null || fail "the Linux read failed"
stop_sim

start_sim desktop --image radio.sin --once
# COM1 leads to the radio: wine's port map names it (or wine links COM1 to its first serial
# device at start), and the link is there before the program starts.
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$port" /f >/dev/null 2>&1
wineserver -w
ln -sfn "$port" "$WINEPREFIX/dosdevices/com1"
wine "$win/bin/kvprog.exe" >kvprog.log 2>&1 &
program_pid=$!
main=$(window "Korvane Programming Software") || fail "no main window"
keys "$main" alt+o p  # Port > COM1(P)
keys "$main" ctrl+r
progress=$(window "Reading Data Progress") || fail "Read From Radio opened no progress dialog"
shot progress
keys "$progress" Return  # Start, the default button
wait_for grep -q "read completed" desktop.log || fail "the radio saw no complete read"
wait_sim_exit 0  # --once: the radio ends after one complete read
wait_for eval '! shown "Reading Data Progress" >/dev/null' || fail "the progress dialog stayed"

keys "$main" ctrl+s  # a read leaves the document untitled: Save asks for a name
dialog=$(window "Save As") || fail "Save opened no file dialog"
saved="$work/Kunde Müller.sin"
# The name is pasted: typed keys reach wine through its keyboard layout, which has no "ü".
printf '%s' "Z:${saved//\//\\}" | xclip -selection clipboard 2>/dev/null
keys "$dialog" ctrl+a ctrl+v Return
wait_for test -s "$saved" || fail "nothing saved as $saved"
wait_for cmp -s "$saved" linux.sin || fail "the saved file differs from the Linux read"
wait_for eval '! shown "Save As" >/dev/null' || fail "the file dialog stayed"
shot main
keys "$main" alt+f x  # File > Exit
wait "$program_pid" || fail "kvprog.exe exited $?"
program_pid=""
echo "wine: kvprog.exe reads the radio on COM1 and saves what the Linux program reads"
