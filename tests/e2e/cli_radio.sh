#!/usr/bin/env bash
# kvprog-cli against kvradio-sim over a pseudo-terminal, as a PC against a radio.
#   cli_radio.sh KVPROG_CLI KVRADIO_SIM GROUP
# GROUP: transfer (read, plain write, safe write), safe (a safe write's checks), faults (each
# of the radio's faults),
# cancel (Ctrl+C during a paced read), busy (a port another program holds), safety (the
# backups every read and write leaves, and the serial trace of --trace), diff (a file against
# the radio), restore (no write without a saved backup, a backup's own bytes put back).
set -euo pipefail
cli="$1"
sim="$2"
group="$3"
. "$(dirname "$0")/radio_lib.sh"
# Backups land here, never in the user's own data folder.
export XDG_DATA_HOME="$work/data"
backups="$XDG_DATA_HOME/kvprog/backups"

# tx_stream TRACE: every byte a kvprog-cli --trace file shows as sent, as pc_stream writes them.
tx_stream() { awk '$2 == "tx" { for (i = 3; i <= NF; i++) printf "%s", tolower($i) }' "$1"; }

# backups_of KIND: the backups of that kind (read, or write for the copies of what was sent),
# one a line.
backups_of() {
    local folder="$backups"
    [ "$1" = write ] && folder="$backups/sent"
    find "$folder" -maxdepth 1 -name "*-$1.sin" 2>/dev/null | sort
}

# A memory whose every byte differs from its neighbours, so a misplaced byte shows; a radio
# of the type a new document is for (the type digit at 0x3D6).
perl -e '@m = map { ($_ * 7 + int($_ / 256) + 3) % 256 } 0 .. 1023; $m[0x3D6] = ord("3");
         print pack("C*", @m)' >known.sin
"$cli" new fresh.sin
printf 'CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone\r\n1,462.5625,467.5625,67.0,D023N\r\n' >ch.csv
"$cli" import ch.csv fresh.sin fresh.sin

msg_comm="Communication Error，Please check all the connections and the radio power"
msg_short="not received enough  byte"
msg_error="Error had happen,please try again"
msg_open="Could not Open the Port,Please check whether the Port are occupied or the device are ok"

# pc_bytes: how many bytes from the PC the radio of cancel.log has taken so far.
pc_bytes() { grep -c ' pc ' cancel.log || true; }
# wait_pc_bytes N: true once the radio has taken N bytes from the PC (60 s at most).
wait_pc_bytes() {
    for _ in $(seq 1200); do
        [ "$(pc_bytes)" -ge "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

case "$group" in
transfer)
    # A read gives the radio's memory byte for byte.
    start_sim read --image known.sin --once
    run_cli 0 read --port "$port" got.sin
    cmp got.sin known.sin || fail "the read file differs from the radio's memory"
    wait_sim_exit 0

    # A plain write reaches bytes 0 to 983; the radio keeps its own from 984 (0x3D8) on.
    start_sim write --image known.sin --save radio.sin --once
    run_cli 0 write --no-backup --no-verify --port "$port" fresh.sin
    wait_sim_exit 0
    cmp -n 984 radio.sin fresh.sin || fail "the radio does not hold what was written"
    cmp <(tail -c 40 radio.sin) <(tail -c 40 known.sin) || fail "a write reached 0x3D8 or above"
    [ "$(pc_stream write.log | grep -o '570[0-3][0-9a-f][08]08' | wc -l)" -eq 123 ] ||
        fail "the write did not send 123 blocks"

    # A safe write backs the radio up, writes, and reads it back: three sessions, one radio.
    start_sim verify --image known.sin --save radio.sin
    run_cli 0 write --verify --port "$port" fresh.sin
    grep -qF "verify: the radio holds what was written" err.txt || fail "verify: $(cat err.txt)"
    stop_sim
    [ "$(grep -c '# .* completed$' verify.log)" -eq 3 ] || fail "not a read, a write and a read"
    [ "$(grep -o '# .* completed$' verify.log | awk '{print $3}' | tr '\n' ' ')" = "read write read " ] ||
        fail "the sessions came in another order: $(grep 'completed$' verify.log)"
    cmp -n 984 radio.sin fresh.sin || fail "the safe write left the radio different"
    cmp "$(find "$backups" -maxdepth 1 -name '*-before-write.sin')" known.sin ||
        fail "the before-write backup is not what the radio held"
    ;;
faults)
    # check_fault VERB STATUS MESSAGE FAULT: one run against a radio with that fault.
    check_fault() {
        local verb="$1" status="$2" message="$3" fault="$4"
        start_sim "$fault" --image known.sin --fault "$fault"
        if [ "$verb" = read ]; then
            run_cli "$status" read --port "$port" got.sin
        else
            run_cli "$status" write --port "$port" fresh.sin
        fi
        [ -z "$message" ] || expect_message "$message"
        stop_sim
    }
    # Fifteen handshake attempts go unanswered; no Retry is asked for, so the run ends.
    check_fault read 1 "$msg_comm" silent
    [ "$(pc_stream silent.log | grep -o 0250524f4752414d | wc -l)" -eq 15 ] ||
        fail "silent: not 15 handshake attempts"

    # The second attempt is answered and the read goes through.
    check_fault read 0 "" handshake-second
    cmp got.sin known.sin || fail "handshake-second: the read file differs"

    check_fault read 1 "$msg_comm" no-confirm-ack

    # An ACK as the second byte passes the handshake; the confirmation's ACK must come first.
    check_fault read 1 "$msg_comm" garbage
    pc_stream garbage.log | grep -q '4d02' || fail "garbage: the handshake's second byte was not taken"

    for reply in 9 10 11; do
        check_fault read 1 "$msg_short" "short-reply=8:$reply"
        stream=$(pc_stream "short-reply=8:$reply.log")
        [[ "$stream" == *52004008* && "$stream" != *52004808* ]] ||
            fail "short-reply=8:$reply: the read went on after block 8"
    done

    check_fault read 1 "$msg_error" no-read-ack=5
    [[ "$(pc_stream no-read-ack=5.log)" != *52003008* ]] || fail "no-read-ack: block 6 was asked for"

    check_fault write 1 "$msg_error" no-write-ack=5
    [[ "$(pc_stream no-write-ack=5.log)" != *57003008* ]] || fail "no-write-ack: block 6 was sent"

    # 11 bytes enter programming mode (two handshake ACKs, the identification, the
    # confirmation's ACK), 13 per block: block 6's reply is cut after 6 bytes.
    check_fault read 1 "$msg_short" drop-after=95
    ;;
cancel)
    # Ctrl+C in the middle of a paced read: no file, the port closed and free again.
    start_sim cancel --image known.sin --pace
    "$cli" read --port "$port" got.sin >out.txt 2>err.txt &
    cli_pid=$!
    wait_pc_bytes 100 || fail "the read did not get under way"
    kill -INT "$cli_pid"
    got=0
    wait "$cli_pid" || got=$?
    [ "$got" -eq 1 ] || fail "cancelled read exited $got: $(cat err.txt)"
    grep -qxF "kvprog-cli: cancelled" err.txt || fail "no cancel report: $(cat err.txt)"
    [ ! -e got.sin ] || fail "a cancelled read wrote its file"
    # The program has ended, so nothing more comes from it; the next read, at once, finds
    # the radio ready and undisturbed.
    run_cli 0 read --port "$port" got.sin
    cmp got.sin known.sin || fail "the read after the cancel differs"

    # A program killed outright leaves the port free for the next user, even one who may not
    # take a port another user holds. It is killed among the read's blocks, so the radio is
    # ready for the next handshake at once.
    "$cli" read --port "$port" got.sin >/dev/null 2>&1 &
    cli_pid=$!
    wait_pc_bytes $(($(pc_bytes) + 20)) || fail "the read to be killed did not get under way"
    kill -KILL "$cli_pid"
    wait "$cli_pid" 2>/dev/null || true
    shared=$(mktemp -d)
    chmod 777 "$shared"
    chmod 666 "$(readlink -f "$port")"
    got=0
    XDG_DATA_HOME="$shared" timeout 60 setpriv --reuid=65534 --regid=65534 --clear-groups \
        "$cli" read --port "$port" "$shared/again.sin" >out.txt 2>err.txt || got=$?
    [ "$got" -eq 0 ] || fail "the port stayed taken after a kill: $(cat err.txt)"
    cmp "$shared/again.sin" known.sin || fail "the read after the kill differs"
    rm -rf "$shared"

    # A kill during a paced write stops it at a safe point and says what the radio holds.
    "$cli" write --port "$port" fresh.sin >out.txt 2>err.txt &
    cli_pid=$!
    # The backup's read comes first; the write is under way once blocks go out.
    for _ in $(seq 1200); do
        [ "$(grep -c ' pc 57' cancel.log || true)" -ge 10 ] && break
        sleep 0.05
    done
    [ "$(grep -c ' pc 57' cancel.log || true)" -ge 10 ] || fail "the write did not get under way"
    kill -TERM "$cli_pid"
    got=0
    wait "$cli_pid" || got=$?
    [ "$got" -eq 1 ] || fail "a stopped write exited $got: $(cat err.txt)"
    grep -qE "^kvprog-cli: the write was stopped after [0-9]+ of 123 blocks: the radio now holds part of fresh.sin and part of what it held before. Write it again, or restore the backup with kvprog-cli restore --port $port \".*-before-write.sin\"$" err.txt ||
        fail "no report of the stopped write: $(cat err.txt)"
    stop_sim
    ;;
safe)
    # A bit the radio stores wrong is caught, named and counted; exit 1.
    start_sim flipped --image known.sin --fault flip-bit=21
    run_cli 1 write --port "$port" fresh.sin
    stop_sim
    grep -qE "^kvprog-cli: the radio does not hold what was written: 1 byte differs, the first in CH 1 Transmit\(MHz\)\. It may not work as fresh.sin says, so do not hand it out\. Write it again, or restore the backup with kvprog-cli restore --port $port \".*-before-write.sin\"$" err.txt ||
        fail "no advice after the failed check: $(cat err.txt)"
    grep -q '^CH 1 Transmit(MHz): ' out.txt || fail "the difference is not listed: $(cat out.txt)"

    # A radio of another type is not written unless asked.
    "$cli" new --type "KV - T520" t520.sin
    start_sim other --image t520.sin --save other.sin
    run_cli 1 write --port "$port" fresh.sin
    expect_message "the radio is a KV - T520 but fresh.sin is for a KV - T310X: nothing was written (--force-type writes anyway)"
    [ ! -e other.sin ] || fail "the radio of another type was written"
    # Without a backup the radio's identification tells its type, before any block is sent.
    run_cli 1 write --no-backup --port "$port" fresh.sin
    expect_message "the radio is a KV - T520 but fresh.sin is for a KV - T310X: nothing was written (--force-type writes anyway)"
    ! grep -q ' pc 57' other.log || fail "a block went to the radio of another type"
    run_cli 0 write --force-type --port "$port" fresh.sin
    stop_sim
    cmp -n 984 other.sin fresh.sin || fail "--force-type did not write"

    # A radio that answers two sessions and then no more: written, but not checked.
    start_sim twice --image known.sin --save twice.sin --fault sessions=2
    run_cli 1 write --port "$port" fresh.sin
    stop_sim
    expect_message "the radio was written but could not be checked: switch it off and on and compare it with kvprog-cli diff --port $port fresh.sin."
    cmp -n 984 twice.sin fresh.sin || fail "the write before the failed check did not reach the radio"
    ;;
busy)
    # Another program holds the port: the open is refused and not a byte goes out.
    start_sim busy
    # Holds the port the way kvprog's programs do: an exclusive lock and exclusive mode.
    perl -e 'use Fcntl qw(:flock); open(my $f, "+<", $ARGV[0]) or die "$!";
             flock($f, LOCK_EX | LOCK_NB) or die "$!"; ioctl($f, 0x540C, 0);  # TIOCEXCL
             open(my $r, ">", "held") or die; close($r); sleep 60' "$port" &
    holder_pid=$!
    for _ in $(seq 600); do
        [ -e held ] && break
        sleep 0.05
    done
    [ -e held ] || fail "could not take the port"
    run_cli 1 read --port "$port" got.sin
    grep -qF "kvprog-cli: $msg_open" err.txt || fail "busy port: $(cat err.txt)"
    ! grep -q ' pc ' busy.log || fail "bytes reached the radio through a busy port"
    kill "$holder_pid"
    wait "$holder_pid" 2>/dev/null || true
    holder_pid=""
    stop_sim
    ;;
safety)
    # A traced read: every byte the PC sent is in the trace, in order and stamped, from the
    # handshake through the 128 read commands; the radio's replies carry its memory.
    start_sim traced --image known.sin --once
    run_cli 0 --trace trace.log read --port "$port" got.sin
    wait_sim_exit 0
    cmp got.sin known.sin || fail "the traced read differs from the radio's memory"
    head -n 1 trace.log | grep -qE '^# kvprog-cli [0-9.]+ read --port .*, [0-9-]+ [0-9:]+$' ||
        fail "no header line: $(head -n 1 trace.log)"
    sed -n 2p trace.log | grep -qE "^[0-9]+\.[0-9]{3} open \"$port\": ok$" ||
        fail "the trace does not begin with the open: $(sed -n 2p trace.log)"
    [ "$(tail -n 1 trace.log | cut -d' ' -f2-)" = close ] || fail "the trace does not end with the close"
    awk 'NR > 1 && !/^[0-9]+\.[0-9][0-9][0-9] (open|timeouts|purge|tx|rx|timeout|close)( |$)/ {
             print "bad line " NR ": " $0; exit 1 }
         NR > 1 { if ($1 + 0 < last) { print "time goes back at line " NR; exit 1 } last = $1 + 0 }' \
        trace.log || fail "the trace's lines are malformed"
    [ "$(tx_stream trace.log)" = "$(pc_stream traced.log)" ] ||
        fail "the trace's sent bytes differ from what the radio received"
    [[ "$(tx_stream trace.log)" == 0250524f4752414d* ]] || fail "the trace does not start with the handshake"
    [ "$(awk '$2 == "tx" && $3 == "52" && $6 == "08" && NF == 6' trace.log | wc -l)" -eq 128 ] ||
        fail "the trace does not hold 128 read commands"
    memory=$(od -An -tx1 -v known.sin | tr -d ' \n')
    [ "$(awk '$2 == "rx" && NF == 14 { for (i = 7; i <= 14; i++) printf "%s", tolower($i) }' \
        trace.log)" = "$memory" ] || fail "the trace's replies do not carry the radio's memory"

    # The read left one backup, the radio's memory, and no write backup.
    [ "$(backups_of read | wc -l)" -eq 1 ] || fail "not one read backup: $(ls "$backups")"
    [ -z "$(backups_of write)" ] || fail "a read left a write backup"
    cmp "$(backups_of read)" known.sin || fail "the read backup differs from the read"
    # Named after the time, the port (the pseudo-terminal /dev/pts/N), and the radio type.
    basename "$(backups_of read)" | grep -qE '^[0-9]{8}-[0-9]{6}-pts[0-9]+-T310X-read\.sin$' ||
        fail "bad backup name: $(backups_of read)"

    # A write keeps what it was about to send: what the radio received, byte for byte.
    start_sim written --image known.sin --save radio.sin --once
    run_cli 0 --trace trace.log write --no-backup --no-verify --port "$port" fresh.sin
    wait_sim_exit 0
    [ "$(backups_of write | wc -l)" -eq 1 ] || fail "not one write backup: $(ls "$backups")"
    cmp -n 984 "$(backups_of write)" radio.sin || fail "the write backup differs from what was sent"
    [ "$(grep -c '^# kvprog-cli .* write --port ' trace.log)" -eq 1 ] ||
        fail "the write did not append its own part to the trace"
    [ "$(grep -c '^# ' trace.log)" -eq 2 ] || fail "the trace lost the read's part"

    # Neither a backup folder nor a trace file that cannot be written stops a read.
    mkdir -p blocked/kvprog
    : >blocked/kvprog/backups  # a file where the folder should be
    start_sim unsafe --image known.sin --once
    (
        export XDG_DATA_HOME="$work/blocked"
        run_cli 0 --trace "$work/no-such-folder/t.log" read --port "$port" got2.sin
    )
    wait_sim_exit 0
    cmp got2.sin known.sin || fail "the read without backup and trace differs"
    grep -qF "kvprog-cli: warning: no backup: " err.txt || fail "no backup warning: $(cat err.txt)"
    grep -qF "no-such-folder/t.log" err.txt || fail "no trace warning: $(cat err.txt)"

    # The test mode is traced too; the file verbs have no line to trace.
    start_sim aligned --once
    run_cli 0 --trace tm.log testmode --port "$port" --item "Squelch Level" --value 160
    wait_sim_exit 0
    [ "$(tx_stream tm.log)" = "$(pc_stream aligned.log)" ] ||
        fail "the test mode trace differs from what the radio received"
    run_cli 2 read --retries x --port /dev/null got3.sin
    grep -qF -- '--retries takes a whole number from 0 to 1000, not "x"' err.txt ||
        fail "a bad --retries is not named: $(cat err.txt)"
    run_cli 2 --trace t.log show known.sin
    run_cli 2 --trace
    [ "$(backups_of read | wc -l)" -eq 1 ] || fail "a failed read or the test mode left a backup"
    # Writes that never open their port keep no copy; the folders and files are private.
    for _ in 1 2 3; do run_cli 1 write --port "$work/no-such-port" fresh.sin; done
    [ "$(backups_of write | wc -l)" -eq 1 ] || fail "a write that never opened its port left a copy"
    [ "$(stat -c %a "$backups" "$backups/sent" "$(backups_of read)" | tr '\n' ' ')" = "700 700 600 " ] ||
        fail "the backups are not private: $(stat -c '%a %n' "$backups" "$backups"/* "$backups"/sent/*)"
    ;;
diff)
    # The radio holding the file: exit 0, nothing printed, and a read's one backup.
    start_sim same --image known.sin --once
    run_cli 0 diff --port "$port" known.sin
    wait_sim_exit 0
    [ ! -s out.txt ] || fail "the same memory printed: $(cat out.txt)"
    [ "$(backups_of read | wc -l)" -eq 1 ] || fail "not one read backup: $(ls "$backups")"
    cmp "$(backups_of read)" known.sin || fail "the read backup differs from the radio's memory"

    # A radio holding something else: the file is A, the radio B, as two files would compare.
    run_cli 1 diff --json fresh.sin known.sin
    mv out.txt files.json
    start_sim other --image known.sin --once
    run_cli 1 diff --json --port "$port" --retries 1 fresh.sin
    wait_sim_exit 0
    cmp files.json out.txt || fail "the radio compared otherwise"
    [ "$(echo *.sin)" = "fresh.sin known.sin" ] || fail "diff saved a file: $(echo *.sin)"

    # A radio failure is trouble, exit 2, with the radio's message.
    start_sim silent --image known.sin --fault silent
    run_cli 2 diff --port "$port" fresh.sin
    expect_message "$msg_comm"
    stop_sim
    [ ! -s out.txt ] || fail "a failed read printed: $(cat out.txt)"
    ;;
restore)
    # A backup that cannot be saved stops the write before anything is sent, and names the fix.
    start_sim blocked --image known.sin --save blocked.sin
    mkdir -p blocked/kvprog
    : >blocked/kvprog/backups  # a file where the folder should be
    (
        export XDG_DATA_HOME="$work/blocked"
        run_cli 1 write --port "$port" fresh.sin
    )
    folder="\"$work/blocked/kvprog/backups\""
    expect_message "the radio's backup could not be saved, so nothing was written: cannot create the backup folder $folder. Make $folder a folder you may write to, with room on its disk, then write again."
    stop_sim
    [ ! -e blocked.sin ] && ! grep -q ' pc 57' blocked.log || fail "the radio was written without its backup"

    # known.sin holds values the form cannot show: write sends the form's reading of them and
    # says so before it writes; restore puts the backup's own bytes back.
    start_sim restored --image fresh.sin --save restored.sin
    run_cli 0 write --no-backup --no-verify --port "$port" known.sin
    awk '/^kvprog-cli: warning: known.sin holds values the form cannot show/ { note = NR }
         /^  CH 1 / { field = NR } /^Writing Data Progress/ { writing = NR }
         END { exit !(note && field && note < writing) }' err.txt ||
        fail "write did not say before writing what it sends otherwise: $(cat err.txt)"
    ! cmp -s -n 984 restored.sin known.sin || fail "write sent known.sin's own bytes"
    run_cli 0 restore --port "$port" known.sin
    stop_sim
    cmp -n 984 restored.sin known.sin || fail "the restored radio differs from the backup"
    grep -qF "verify: the radio holds what was written" err.txt || fail "restore: $(cat err.txt)"
    ;;
*)
    fail "unknown group"
    ;;
esac
echo "ok ($group)"
