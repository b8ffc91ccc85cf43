#!/usr/bin/env bash
# kvprog-cli fleet against several simulated radios at once, one group a capability.
#   cli_fleet.sh KVPROG_CLI KVRADIO_SIM GROUP
# GROUP: parallel (three ports at once, consecutive IDs, Enter presses in one piece, the log's
# columns, a radio checked against its row, the trace), fault (a failing radio fails only its
# own job; refusals before any radio), enter (the next radio on Enter, IDs given back or
# kept), auto (the next radio when the last one went away and another answers; a stopped
# probe leaves the radio ready), kill (SIGKILL during a write, then the next runs: the job
# logged as cut short, its ID never given again unless asked).
set -euo pipefail
cli="$1"
sim="$2"
group="$3"
. "$(dirname "$0")/radio_lib.sh"
export XDG_DATA_HOME="$work/data"
radios=()
trap 'for pid in "${radios[@]}"; do kill "$pid" 2>/dev/null || true; done; cleanup' EXIT

# radio NAME ARGS...: one more simulated radio saving its memory to NAME.sin; its port goes
# into the array ports.
ports=()
radio() {
    local name="$1"; shift
    start_sim "$name" --save "$name.sin" "$@"
    radios+=("$sim_pid")
    sim_pid=""
    ports+=("$port")
}

# port_args: --port for every radio started.
port_args() { for p in "${ports[@]}"; do printf -- '--port\n%s\n' "$p"; done; }

# id_of FILE: the ID code a radio's saved memory holds.
id_of() { "$cli" show "$1" | sed -n 's/^ID Code: //p'; }

# column N: the Nth field of every row of jobs.csv after the header (no field holds a comma
# in these runs).
column() { tail -n +2 jobs.csv | tr -d '\r' | cut -d, -f"$1"; }

# A document whose PTT ID mode is BOT, so IDs reach the radios.
"$cli" new doc.sin
python3 -c "
d = bytearray(open('doc.sin', 'rb').read()); d[0x3C5] = (d[0x3C5] & ~3) | 1
open('doc.sin', 'wb').write(d)"

case "$group" in
parallel)
    for name in a b c; do radio "$name"; done
    mapfile -t args < <(port_args)
    mkfifo keys
    timeout 120 "$cli" --trace trace.log fleet "${args[@]}" --count 5 --id-from 0099 \
        --log jobs.csv doc.sin <keys >out.txt 2>err.txt &
    cli_pid=$!
    exec 3>keys
    for _ in $(seq 600); do
        [ "$(grep -c 'connect the next radio' err.txt || true)" -ge 3 ] && break
        sleep 0.05
    done
    [ "$(wc -l < out.txt)" -eq 3 ] || fail "not one line a job: $(cat out.txt)"
    # Two presses arriving in one piece release two radios.
    printf '\n\n' >&3
    got=0
    wait "$cli_pid" || got=$?
    exec 3>&-
    [ "$got" -eq 0 ] || fail "exit $got: $(cat err.txt)"
    head -n 1 jobs.csv | tr -d '\r' | grep -qxF \
        "time,port,type,radio_id,ptt_id,file,image_sha256,backup,result,seconds" ||
        fail "the log's header: $(head -n 1 jobs.csv)"
    [ "$(column 5 | sort | tr '\n' ' ')" = "0099 0100 0101 0102 0103 " ] || fail "IDs: $(column 5)"
    [ "$(column 9 | sort -u)" = ok ] || fail "results: $(column 9)"
    [ "$(column 3 | sort -u)" = "KV - T310X" ] || fail "types: $(column 3)"
    [ "$(column 6 | sort -u)" = "$PWD/doc.sin" ] || fail "files: $(column 6)"
    column 1 | grep -qvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}$' &&
        fail "times: $(column 1)"
    column 10 | grep -qvE '^[0-9]+\.[0-9]$' && fail "seconds: $(column 10)"
    # Each radio holds the ID of a row whose hash is of what it was sent, and that row is found
    # from the radio itself; its before-write backup is there.
    for name in a b c; do
        id=$(id_of "$name.sin")
        row=$(grep ",$id,$PWD/doc.sin," jobs.csv) || fail "$name's ID $id is in no line"
        [[ "$row" == *",$(head -c 984 "$name.sin" | sha256sum | cut -d' ' -f1),"* ]] ||
            fail "$name: the hash of its line"
        backup=$(echo "$row" | cut -d, -f8)
        [ -s "$backup" ] || fail "$name: no before-write backup at $backup"
    done
    run_cli 0 hash --port "${ports[0]}" --log jobs.csv
    grep -q "^jobs.csv row [2-6]: .*  ID $(id_of a.sin)  ok$" out.txt ||
        fail "the radio is not found in its row: $(cat out.txt)"
    # Every job's lines in the one trace say which port and ID they are.
    [ "$(grep -c '^# kvprog .* production job #' trace.log)" -eq 5 ] || fail "trace headers"
    for port in "${ports[@]}"; do
        grep -qE "^$port ID 0[01][0-9]{2} [0-9.]+ tx " trace.log || fail "no trace lines of $port"
    done
    ;;
fault)
    radio good
    radio bad --fault no-write-ack=5
    mapfile -t args < <(port_args)
    # Without input no further radio is announced: one job a port.
    got=0
    timeout 60 "$cli" fleet "${args[@]}" --id-from 7 --log jobs.csv doc.sin \
        </dev/null >out.txt 2>err.txt || got=$?
    [ "$got" -eq 1 ] || fail "exit $got with a failed job: $(cat err.txt)"
    [ "$(tail -n +2 jobs.csv | wc -l)" -eq 2 ] || fail "not two lines: $(cat jobs.csv)"
    grep -q "^${ports[0]}  #[12]  ok  ID [78]" out.txt || fail "the good radio: $(cat out.txt)"
    grep -q "^${ports[1]}  #[12]  failed: write: " out.txt || fail "the bad radio: $(cat out.txt)"
    # The failed write had begun, so its ID is used up: the two IDs differ.
    [ "$(column 5 | sort -u | wc -l)" -eq 2 ] || fail "an ID was given twice: $(column 5)"
    # A document without PTT ID refuses an ID sequence before any radio is touched.
    "$cli" new plain.sin
    python3 -c "
d = bytearray(open('plain.sin', 'rb').read()); d[0x3C5] &= ~3
open('plain.sin', 'wb').write(d)"
    run_cli 2 fleet "${args[@]}" --id-from 1 --log jobs.csv plain.sin
    grep -q "PTT ID mode is OFF" err.txt || fail "no PTT ID refusal: $(cat err.txt)"
    # One device under two names would take its own radio away from itself.
    ln -s "${ports[0]}" link
    run_cli 2 fleet --port "${ports[0]}" --port "$PWD/link" --log jobs.csv doc.sin
    grep -q "are the same device" err.txt || fail "no same-device refusal: $(cat err.txt)"
    # Another CSV is not a job log, and gets no rows.
    printf 'name,phone\r\n' > contacts.csv
    run_cli 2 fleet --port "${ports[0]}" --log contacts.csv doc.sin
    grep -q "is not a job log" err.txt || fail "no refusal of another CSV: $(cat err.txt)"
    [ "$(cat contacts.csv)" = "$(printf 'name,phone\r\n')" ] || fail "contacts.csv changed"
    # Results that cannot reach standard output are said so, and the run ends with 2.
    got=0
    timeout 60 "$cli" fleet --port "${ports[0]}" --no-backup --no-verify --log jobs.csv doc.sin \
        </dev/null >/dev/full 2>err.txt || got=$?
    [ "$got" -eq 2 ] || fail "exit $got with standard output on a full disk"
    grep -q "cannot write to standard output: the disk is full" err.txt ||
        fail "no message of the full output: $(cat err.txt)"
    ;;
enter)
    # The first radio cannot be backed up, so nothing is written to it and its ID goes to the
    # next radio. The third takes the first block but never acknowledges it: it may hold that
    # block, so its ID is used up. Each further radio comes when Enter is pressed.
    mkfifo control keys
    exec 4<>control
    radio one --control --fault no-read-ack=3 <control
    timeout 90 "$cli" fleet --port "${ports[0]}" --no-verify --id-from 00FE --log jobs.csv \
        doc.sin <keys >out.txt 2>err.txt &
    cli_pid=$!
    exec 3>keys
    next=("" no-write-ack=0 "")  # the faults of the radios connected after the first
    for ((jobs = 1; jobs <= ${#next[@]}; jobs++)); do
        for _ in $(seq 400); do
            [ "$(wc -l < out.txt)" -ge "$jobs" ] && break
            sleep 0.05
        done
        grep -q "^${ports[0]}: connect the next radio and press Enter" err.txt ||
            fail "no prompt: $(cat err.txt)"
        echo "new ${next[jobs - 1]}" >&4  # another radio
        echo >&3                          # Enter
    done
    for _ in $(seq 400); do
        [ "$(wc -l < out.txt)" -ge 4 ] && break
        sleep 0.05
    done
    exec 3>&-  # no more radios
    got=0
    wait "$cli_pid" || got=$?
    [ "$got" -eq 1 ] || fail "exit $got with a failed job: $(cat err.txt)"
    # The first radio got nothing, so its row names no ID: 00FE went to the next radio.
    [ "$(column 5 | tr '\n' ' ')" = " 00FE 00FF 0100 " ] || fail "IDs: $(column 5)"
    [ "$(column 9 | cut -d: -f1 | tr '\n' ' ')" = '"backup ok "write ok ' ] ||
        fail "results: $(column 9)"
    [ "$(id_of one.sin)" = 0100 ] || fail "the radio holds $(id_of one.sin)"
    ;;
auto)
    mkfifo control
    exec 4<>control
    radio one --control <control
    # handshakes: how many times the PC has finished the handshake's "PROGRAM" so far.
    handshakes() { grep -c ' pc 4d$' one.log || true; }
    # await_probes N: until N more handshakes have gone out, or a second job has started.
    await_probes() {
        local probes=$(( $(handshakes) + $1 ))
        for _ in $(seq 400); do
            [ "$(handshakes)" -ge "$probes" ] && return 0
            grep -q "job #2" err.txt && return 1
            sleep 0.05
        done
        return 1
    }
    # await_text TEXT: until kvprog-cli has said TEXT (20 s at most).
    await_text() {
        for _ in $(seq 400); do
            grep -q "$1" err.txt && return 0
            sleep 0.05
        done
        fail "kvprog-cli never said \"$1\": $(cat err.txt)"
    }
    timeout 90 "$cli" fleet --port "${ports[0]}" --auto --count 2 --no-backup --no-verify \
        --id-from 41 --log jobs.csv doc.sin >out.txt 2>err.txt &
    cli_pid=$!
    await_text "waiting for the radio to be switched off"
    # The radio stays on and answers probe after probe: no second job may start.
    await_probes 3 || fail "a second job while the radio stayed on, or no probes"
    echo off >&4
    await_text "waiting for the next radio"
    echo new >&4  # another radio, switched on
    got=0
    wait "$cli_pid" || got=$?
    [ "$got" -eq 0 ] || fail "exit $got: $(cat err.txt)"
    [ "$(column 5 | tr '\n' ' ')" = "41 42 " ] || fail "IDs: $(column 5)"
    [ "$(id_of one.sin)" = 42 ] || fail "the new radio holds $(id_of one.sin)"

    # Stopped while it probes, a run leaves the radio ready: a read at once works.
    "$cli" fleet --port "${ports[0]}" --auto --no-backup --no-verify --reuse-ids \
        --id-from 41 --log jobs.csv doc.sin >out.txt 2>err.txt &
    cli_pid=$!
    await_text "waiting for the radio to be switched off"
    await_probes 1 || fail "no probe: $(cat err.txt)"
    kill -INT "$cli_pid"
    wait "$cli_pid" || true
    run_cli 0 read --port "${ports[0]}" after.sin
    ;;
kill)
    mkfifo control
    exec 4<>control
    radio one --control <control
    # Killed in the middle of writing 1001: nothing had time to log the job.
    "$cli" fleet --port "${ports[0]}" --id-from 1001 --count 1 --no-backup --no-verify \
        --log jobs.csv doc.sin </dev/null >out.txt 2>err.txt &
    cli_pid=$!
    for _ in $(seq 400); do
        [ "$(grep -c ' pc 57$' one.log || true)" -ge 20 ] && break
        sleep 0.05
    done
    kill -KILL "$cli_pid"
    wait "$cli_pid" 2>/dev/null || true
    # The radio was left in the middle of a block: the technician switches it off and on.
    echo off >&4
    echo on >&4
    [ "$(wc -l < jobs.csv)" -eq 1 ] || fail "a row before the job ended: $(cat jobs.csv)"
    # The next run finds the job cut short, logs it, and refuses to give 1001 again.
    run_cli 2 fleet --port "${ports[0]}" --id-from 1001 --count 1 --log jobs.csv doc.sin
    grep -q "ID 1001 was written at .*, jobs.csv row 2, and this run would give it again; the next unused ID is 1002" err.txt ||
        fail "no refusal of the used ID: $(cat err.txt)"
    column 9 | grep -q '^"\?cut short: ' || fail "the cut job is not logged: $(cat jobs.csv)"
    [ "$(column 5)" = 1001 ] || fail "the cut job's ID: $(column 5)"
    # --id-from next goes on after it; --reuse-ids gives it again on purpose.
    run_cli 0 fleet --port "${ports[0]}" --id-from next --count 1 --no-backup --no-verify \
        --log jobs.csv doc.sin
    [ "$(id_of one.sin)" = 1002 ] || fail "next: the radio holds $(id_of one.sin)"
    run_cli 0 fleet --port "${ports[0]}" --id-from 1001 --reuse-ids --count 1 --no-backup \
        --no-verify --log jobs.csv doc.sin
    [ "$(id_of one.sin)" = 1001 ] || fail "reuse: the radio holds $(id_of one.sin)"
    ;;
*)
    fail "unknown group"
    ;;
esac
echo "fleet $group: ok"
