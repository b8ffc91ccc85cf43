#!/usr/bin/env bash
# kvprog-cli doctor against simulated radios: a radio that answers, radios that answer the
# handshake but could not be read, a silent one, a port another program holds (also through a
# lock whose taker has ended), a port this user may not open, and a name that is not UTF-8.
#   cli_doctor.sh KVPROG_CLI KVRADIO_SIM
set -euo pipefail
cli="$1"
sim="$2"
group=doctor
. "$(dirname "$0")/radio_lib.sh"

# json_holds EXPR: the JSON report in out.txt, read as strict UTF-8 into r, makes EXPR true.
json_holds() {
    python3 - "$1" <<'PY' || fail "not $1: $(cat out.txt)"
import json, sys
r = json.loads(open("out.txt", "rb").read())
sys.exit(0 if eval(sys.argv[1]) else 1)
PY
}

# wait_gone PID: the process has ended (it is not this shell's child to wait for).
wait_gone() {
    for _ in $(seq 400); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.05
    done
    fail "process $1 did not end"
}

start_sim good
run_cli 0 doctor --json --port "$port"
json_holds '[c["ok"] for c in r["checks"] if c["name"] == "radio"] == [True]'
json_holds 'r["radio"] == {"identification": "00 00 F4 51 35 38 33 54"}'
# The probe leaves the radio as a read does: the next read works at once.
run_cli 0 read --port "$port" got.sin

# Another program holds the port: it is named, and the radio is not probed.
flock "$port" sh -c ': >held; exec sleep 30' &
holder_pid=$!
for _ in $(seq 600); do
    [ -e held ] && break
    sleep 0.05
done
[ -e held ] || fail "could not take the port"
run_cli 1 doctor --port "$port"
grep -q "PROBLEM held by flock (process [0-9]*" out.txt || fail "holder not named: $(cat out.txt)"
grep -q "radio answered" out.txt && fail "probed a port another program holds"
pkill -P "$holder_pid" sleep || true
wait "$holder_pid" 2>/dev/null || true

# The lock's taker has ended and left the lock to the process it started: that one is named.
flock "$port" sh -c 'sleep 30 >/dev/null 2>&1 & echo $! >orphan'
holder_pid=$(cat orphan)
run_cli 1 doctor --port "$port"
grep -q "PROBLEM held by sleep (process $holder_pid, command line: sleep 30); the lock was taken by \
process [0-9]*, which has ended" out.txt || fail "the lock's holder not named: $(cat out.txt)"
grep -q "fix: close sleep, or: kill $holder_pid" out.txt || fail "no fix: $(cat out.txt)"
kill "$holder_pid"
wait_gone "$holder_pid"
holder_pid=""

# A user outside the device's group: the group and the command that mends it; who holds the
# port cannot be told without opening it.
chmod 660 "$(readlink -f "$port")"
owner=$(stat -c %G "$(readlink -f "$port")")
got=0
setpriv --reuid=65534 --regid=65534 --clear-groups "$cli" doctor --port "$port" >out.txt 2>&1 ||
    got=$?
[ "$got" -eq 1 ] || fail "exit $got for a port the user may not open"
grep -q "PROBLEM the device belongs to the group $owner, and nobody is not in it" out.txt ||
    fail "no group explanation: $(cat out.txt)"
grep -q "fix: sudo usermod -aG $owner nobody" out.txt || fail "no fix: $(cat out.txt)"
grep -q "PROBLEM whether another program holds $port cannot be told: this user may not open it" \
    out.txt || fail "claims to know who holds it: $(cat out.txt)"
stop_sim

# Radios that take the handshake but would fail every read: noise before each answer, or no
# confirmation.
for fault in garbage no-confirm-ack; do
    start_sim "$fault" --fault "$fault"
    run_cli 1 doctor --port "$port"
    grep -q "PROBLEM a radio answered the handshake, but not as a read needs" out.txt ||
        fail "$fault: $(cat out.txt)"
    stop_sim
done

# A silent radio: the likely causes, one a line.
start_sim silent --fault silent
run_cli 1 doctor --port "$port"
grep -q "PROBLEM no radio answered the handshake" out.txt || fail "$(cat out.txt)"
[ "$(grep -c '  fix: ' out.txt)" -ge 3 ] || fail "not the causes: $(cat out.txt)"
run_cli 2 doctor --port

# A name that is not UTF-8 still makes valid JSON.
run_cli 1 doctor --json --port $'bad\xffname'
json_holds 'r["port"]["name"] == "bad\ufffdname"'
echo "doctor: ok"
