#!/usr/bin/env bash
# kvprog-cli fleet against several simulated radios at once.
#   cli_fleet.sh KVPROG_CLI KVRADIO_SIM GROUP
# GROUP: parallel (three ports at once, consecutive IDs, the log's columns and hashes), fault
# (a failing radio fails only its own job), enter (the next radio on Enter), auto (the next
# radio when the last one went away and another answers).
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
    run_cli 0 fleet "${args[@]}" --count 3 --id-from 0099 --log jobs.csv doc.sin
    [ "$(wc -l < out.txt)" -eq 3 ] || fail "not one line a job: $(cat out.txt)"
    head -n 1 jobs.csv | tr -d '\r' | grep -qxF \
        "time,port,type,radio_id,ptt_id,file,image_sha256,backup,result,seconds" ||
        fail "the log's header: $(head -n 1 jobs.csv)"
    [ "$(column 5 | sort | tr '\n' ' ')" = "0099 0100 0101 " ] || fail "IDs: $(column 5)"
    [ "$(column 9 | sort -u)" = ok ] || fail "results: $(column 9)"
    [ "$(column 3 | sort -u)" = "KV - T310X" ] || fail "types: $(column 3)"
    column 1 | grep -qvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}$' &&
        fail "times: $(column 1)"
    # Each radio holds the ID its line names, and the line's hash is of what it was sent: the
    # radio keeps its own bytes from 0x3D8 up, which are those of a new document here too.
    for name in a b c; do
        id=$(id_of "$name.sin")
        row=$(grep ",$id,doc.sin," jobs.csv) || fail "$name's ID $id is in no line"
        [[ "$row" == *",$(sha256sum < "$name.sin" | cut -d' ' -f1),"* ]] ||
            fail "$name: the hash of its line"
        backup=$(echo "$row" | cut -d, -f8)
        [ -s "$backup" ] || fail "$name: no before-write backup at $backup"
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
    # One device named twice would take its own radio away from itself.
    run_cli 2 fleet --port "${ports[0]}" --port "${ports[0]}" --log jobs.csv doc.sin
    grep -q "are the same device" err.txt || fail "no same-device refusal: $(cat err.txt)"
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
    [ "$(column 5 | tr '\n' ' ')" = "00FE 00FE 00FF 0100 " ] || fail "IDs: $(column 5)"
    [ "$(column 9 | cut -d: -f1 | tr '\n' ' ')" = '"backup ok "write ok ' ] ||
        fail "results: $(column 9)"
    [ "$(id_of one.sin)" = 0100 ] || fail "the radio holds $(id_of one.sin)"
    ;;
auto)
    mkfifo control
    exec 4<>control
    radio one --control <control
    timeout 90 "$cli" fleet --port "${ports[0]}" --auto --count 2 --no-backup --no-verify \
        --id-from 41 --log jobs.csv doc.sin >out.txt 2>err.txt &
    cli_pid=$!
    for _ in $(seq 400); do
        grep -q "waiting for the radio to be switched off" err.txt && break
        sleep 0.05
    done
    sleep 1
    [ "$(wc -l < out.txt)" -eq 1 ] || fail "a second job while the radio stayed on"
    echo off >&4
    for _ in $(seq 200); do
        grep -q "waiting for the next radio" err.txt && break
        sleep 0.05
    done
    grep -q "waiting for the next radio" err.txt || fail "the radio was not seen to go"
    echo new >&4  # another radio, switched on
    got=0
    wait "$cli_pid" || got=$?
    [ "$got" -eq 0 ] || fail "exit $got: $(cat err.txt)"
    [ "$(column 5 | tr '\n' ' ')" = "41 42 " ] || fail "IDs: $(column 5)"
    [ "$(id_of one.sin)" = 42 ] || fail "the new radio holds $(id_of one.sin)"
    ;;
*)
    fail "unknown group"
    ;;
esac
echo "fleet $group: ok"
