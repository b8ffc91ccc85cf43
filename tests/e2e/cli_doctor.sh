#!/usr/bin/env bash
# kvprog-cli doctor against simulated radios: a radio that answers, a silent one, a port
# another program holds, and a port this user may not open.
#   cli_doctor.sh KVPROG_CLI KVRADIO_SIM
set -euo pipefail
cli="$1"
sim="$2"
group=doctor
. "$(dirname "$0")/radio_lib.sh"

# check_json NAME OK: the JSON report in out.txt has the check NAME with "ok": OK.
check_json() {
    python3 - "$1" "$2" <<'PY' || fail "check $1 is not ok=$2: $(cat out.txt)"
import json, sys
report = json.load(open("out.txt"))
check = [c for c in report["checks"] if c["name"] == sys.argv[1]]
sys.exit(0 if check and str(check[0]["ok"]).lower() == sys.argv[2] else 1)
PY
}

start_sim good
run_cli 0 doctor --json --port "$port"
check_json radio true
grep -q '"radio": {"identification": "00 00 F4 51 35 38 33 54"}' out.txt ||
    fail "no identification: $(cat out.txt)"
# The probe leaves the radio as a cancelled read does: the next read works at once.
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
grep -q "PROBLEM held by flock (process [0-9]*)" out.txt || fail "holder not named: $(cat out.txt)"
grep -q "radio answered" out.txt && fail "probed a port another program holds"
pkill -P "$holder_pid" sleep || true
wait "$holder_pid" 2>/dev/null || true
holder_pid=""

# A user outside the device's group: the group and the command that mends it.
chmod 660 "$(readlink -f "$port")"
owner=$(stat -c %G "$(readlink -f "$port")")
got=0
setpriv --reuid=65534 --regid=65534 --clear-groups "$cli" doctor --port "$port" >out.txt 2>&1 ||
    got=$?
[ "$got" -eq 1 ] || fail "exit $got for a port the user may not open"
grep -q "PROBLEM the device belongs to the group $owner, and nobody is not in it" out.txt ||
    fail "no group explanation: $(cat out.txt)"
grep -q "fix: sudo usermod -aG $owner nobody" out.txt || fail "no fix: $(cat out.txt)"
stop_sim

# A silent radio: the likely causes, one a line.
start_sim silent --fault silent
run_cli 1 doctor --port "$port"
grep -q "PROBLEM no radio answered the handshake" out.txt || fail "$(cat out.txt)"
[ "$(grep -c '  fix: ' out.txt)" -ge 3 ] || fail "not the causes: $(cat out.txt)"
run_cli 2 doctor --port
echo "doctor: ok"
