# Shared by the end-to-end scripts that run kvprog-cli against kvradio-sim: a scratch folder,
# the radio's start and stop, and the checks on kvprog-cli's exit and messages.
# Sourced after setting cli, sim and group; SIM_OPTIONS holds options every radio gets.
work=$(mktemp -d)
sim_pid=""
holder_pid=""
cleanup() {
    for pid in $sim_pid $holder_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() { echo "FAIL ($group): $*" >&2; exit 1; }

# start_sim NAME ARGS...: a radio logging every byte to NAME.log; sets port and sim_pid.
start_sim() {
    local name="$1"; shift
    # shellcheck disable=SC2086  # SIM_OPTIONS is a list of words
    # "<&0": bash gives a background command /dev/null as its input unless the command
    # itself redirects it, and a radio with --control reads its commands there.
    "$sim" ${SIM_OPTIONS:-} --log "$name.log" "$@" >"$name.path" <&0 &
    sim_pid=$!
    for _ in $(seq 400); do
        [ -s "$name.path" ] && break
        sleep 0.05
    done
    port=$(head -n 1 "$name.path")
    [ -n "$port" ] || fail "$name: the radio printed no port"
}

# wait_sim_exit STATUS: the radio ends (by itself with --once, or after SIGTERM) within 20 s,
# generous for a busy machine: a healthy radio ends long before.
wait_sim_exit() {
    for _ in $(seq 400); do
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.05
    done
    local got=0
    kill -0 "$sim_pid" 2>/dev/null && fail "the radio is still running"
    wait "$sim_pid" || got=$?
    sim_pid=""
    [ "$got" -eq "$1" ] || fail "the radio exited $got, expected $1"
}

# stop_sim: SIGTERM, and the radio must end cleanly.
stop_sim() {
    kill -TERM "$sim_pid"
    wait_sim_exit 0
}

# run_cli WANT ARGS...: kvprog-cli (60 s at most) must exit WANT; output in out.txt, err.txt.
run_cli() {
    local want="$1"; shift
    local got=0
    timeout 60 "$cli" "$@" >out.txt 2>err.txt || got=$?
    [ "$got" -eq "$want" ] || fail "kvprog-cli $* exited $got, expected $want: $(cat err.txt)"
}

# expect_message TEXT: kvprog-cli reported exactly this box text.
expect_message() {
    grep -qxF "kvprog-cli: $1" err.txt || fail "expected \"$1\", got: $(cat err.txt)"
}

# pc_stream LOG: every byte the PC sent, as one hex string.
pc_stream() { awk '$2 == "pc" { printf "%s", $3 }' "$1"; }
