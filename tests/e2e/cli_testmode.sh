#!/usr/bin/env bash
# kvprog-cli testmode against kvradio-sim over a pseudo-terminal, as a PC against a radio.
#   cli_testmode.sh KVPROG_CLI KVRADIO_SIM GROUP
# GROUP: exchange (complete exchanges: the bytes sent and what the radio made of them),
# faults (a radio that stops answering, retries, a busy port, bad arguments).
#
# The radio answers 20 ms after each byte instead of its default 5: the PC purges its input
# 1 ms after the last handshake byte, and an ACK that came sooner (a PC held up by a loaded
# machine) would be thrown away as the protocol says, failing the run by chance.
set -euo pipefail
cli="$1"
sim="$2"
group="$3"
SIM_OPTIONS="--latency 20"
. "$(dirname "$0")/radio_lib.sh"

# expect_note LOG TEXT: the radio noted exactly this line.
expect_note() {
    sed -n 's/^# [0-9.]* //p' "$1" | grep -qxF "$2" || fail "$1: no note \"$2\": $(grep '^#' "$1")"
}

msg_finished="Finish successfully!"
msg_error=" Error had happen ,need try again"
msg_open="Could not Open the Port,Please check whether the Port are occupied or the device are ok"

handshake=0250524f475241
# After the radio's ACK: M, 0x02, the confirmation ACK, then 'x'.
entry=${handshake}4d020678
squelch=737308                  # 's', 's', 0x08
band_edges=0000004500000047     # 450 and 470 MHz
off_160=00000000fb0101a0        # both tones OFF, value 160

case "$group" in
exchange)
    # Squelch Level 160 with OFF tones, receive at its default 450 MHz, transmit at 470.
    start_sim squelch --once
    run_cli 0 testmode --port "$port" --item "Squelch Level" --value 160 --tx 470
    expect_message "$msg_finished"
    wait_sim_exit 0
    [ "$(pc_stream squelch.log)" = "${entry}${squelch}${band_edges}${off_160}" ] ||
        fail "squelch: the PC sent $(pc_stream squelch.log)"
    expect_note squelch.log "test command 73 73 08: Squelch Level"
    expect_note squelch.log "test frequencies 00 00 00 45 00 00 00 47: rx 450.00000 MHz, tx 470.00000 MHz"
    expect_note squelch.log "test tones and value 00 00 00 00 FB 01 01 A0: rx tone OFF, tx tone OFF, value 160"
    expect_note squelch.log "test completed"
    [ "$(grep -c ' radio 48$' squelch.log)" -eq 3 ] || fail "squelch: not three H answers"

    # Frequencies outside the band are clamped to its edges; the item and tones in any case.
    start_sim clamped
    run_cli 0 testmode --port "$port" --item "squelch LEVEL" --value 160 --rx 449.9 --tx 480 \
        --rx-tone off --tx-tone Off
    stop_sim
    [ "$(pc_stream clamped.log)" = "${entry}${squelch}${band_edges}${off_160}" ] ||
        fail "clamped: the PC sent $(pc_stream clamped.log)"

    # Rounded to each edit's own step; a CTCSS tone in tenths of a hertz, a DCS code as 0.
    start_sim rounded
    run_cli 0 testmode --port "$port" --item "TX Frequency" --value 91 --rx 462.5124 \
        --rx-step 6.25 --tx 467.5626 --tx-step 5 --rx-tone 67.0 --tx-tone d023n
    expect_message "$msg_finished"
    stop_sim
    expect_note rounded.log "test command 71 71 08: TX Frequency"
    expect_note rounded.log "test frequencies 50 12 25 46 00 65 75 46: rx 462.51250 MHz, tx 467.56500 MHz"
    expect_note rounded.log "test tones and value 70 06 00 00 FB 01 01 5B: rx tone 67.0, tx tone OFF, value 91"
    ;;
faults)
    # Silence: one attempt, the handshake and nothing more, then the box; Cancel ends it.
    start_sim silent --fault silent
    run_cli 1 testmode --port "$port" --item "TX Power" --value 47
    expect_message "$msg_error"
    [ "$(pc_stream silent.log)" = "$handshake" ] || fail "silent: the PC sent $(pc_stream silent.log)"
    # Each retry sends the same handshake again.
    : >silent.log
    run_cli 1 testmode --port "$port" --item "TX Power" --value 47 --retries 2
    [ "$(grep -cxF "kvprog-cli: $msg_error" err.txt)" -eq 3 ] || fail "silent: not three boxes"
    [ "$(pc_stream silent.log)" = "$handshake$handshake$handshake" ] ||
        fail "silent, two retries: the PC sent $(pc_stream silent.log)"
    stop_sim

    # An answer that stops after part K: the PC sends nothing after that part.
    sent_through=("${entry}${squelch}" "${entry}${squelch}${band_edges}"
                  "${entry}${squelch}${band_edges}${off_160}")
    for k in 1 2 3; do
        start_sim "no-h-$k" --fault "test-no-h=$k"
        run_cli 1 testmode --port "$port" --item "Squelch Level" --value 160 --tx 470
        expect_message "$msg_error"
        stop_sim
        [ "$(pc_stream "no-h-$k.log")" = "${sent_through[$((k - 1))]}" ] ||
            fail "test-no-h=$k: the PC sent $(pc_stream "no-h-$k.log")"
        expect_note "no-h-$k.log" "no H: fault test-no-h=$k"
    done
    ! grep -q 'test tones' no-h-2.log || fail "test-no-h=2: the tone block was sent"

    # No ACK to the confirmation: the PC goes no further than its confirmation.
    start_sim no-confirm --fault no-confirm-ack
    run_cli 1 testmode --port "$port" --item "Low Power Voltage" --value 38
    expect_message "$msg_error"
    stop_sim
    [ "$(pc_stream no-confirm.log)" = "${handshake}4d0206" ] ||
        fail "no-confirm-ack: the PC sent $(pc_stream no-confirm.log)"

    # The first handshake goes unanswered; Retry starts over with it and gets through.
    start_sim second --fault handshake-second
    run_cli 0 testmode --port "$port" --item "Squelch Level" --value 160 --tx 470 --retries 1
    expect_message "$msg_finished"
    stop_sim
    [ "$(pc_stream second.log)" = "${handshake}${entry}${squelch}${band_edges}${off_160}" ] ||
        fail "handshake-second: the PC sent $(pc_stream second.log)"

    # Another program holds the port: the open message, and not a byte reaches the radio.
    start_sim busy
    perl -e 'use Fcntl qw(:flock); open(my $f, "+<", $ARGV[0]) or die "$!";
             flock($f, LOCK_EX | LOCK_NB) or die "$!"; ioctl($f, 0x540C, 0);  # TIOCEXCL
             open(my $r, ">", "held") or die; close($r); sleep 60' "$port" &
    holder_pid=$!
    for _ in $(seq 600); do
        [ -e held ] && break
        sleep 0.05
    done
    [ -e held ] || fail "could not take the port"
    run_cli 1 testmode --port "$port" --item "TX Power" --value 47
    grep -qF "kvprog-cli: $msg_open" err.txt || fail "busy port: $(cat err.txt)"
    kill "$holder_pid"
    wait "$holder_pid" 2>/dev/null || true
    holder_pid=""

    # Bad arguments are refused before the port is opened.
    bad_usage() {
        run_cli 2 testmode --port "$port" "$@"
        grep -qF "usage: kvprog-cli testmode" err.txt || fail "no usage for $*: $(cat err.txt)"
    }
    bad_usage --item "Squelch" --value 1
    bad_usage --item "TX Power" --value 256
    bad_usage --item "TX Power" --value 1 --rx abc
    bad_usage --item "TX Power" --value 1 --rx-tone 67
    bad_usage --item "TX Power" --value 1 --tx-step 12.5
    bad_usage --item "TX Power"
    bad_usage --value 1
    stop_sim
    ! grep -q ' pc ' busy.log || fail "bytes reached the radio through a busy port or bad arguments"
    ;;
*)
    fail "unknown group"
    ;;
esac
echo "ok ($group)"
