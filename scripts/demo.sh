# Sourced by run.sh --demo: a simulated radio with a few channels on a pseudo-terminal,
# reachable as COM1, then the desktop program.
run_demo() {
    work=$(mktemp -d)
    sim_pid=
    trap 'if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
    printf '%s\r\n' \
        'CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power' \
        '1,462.5625,467.5625,67.0,67.0,NO,Narrow,Add,High' \
        '2,462.5875,467.5875,D023N,D023N,YES,Wide,Add,Middle' \
        '3,450.00625,,OFF,OFF,NO,Wide,Delete,Low' > "$work/demo.csv"
    build/bin/kvprog-cli new "$work/blank.sin"
    build/bin/kvprog-cli import "$work/demo.csv" "$work/blank.sin" "$work/radio.sin"
    build/bin/kvradio-sim --image "$work/radio.sin" --save "$work/radio.sin" >"$work/pty" &
    sim_pid=$!
    for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
    KVPROG_COM1=$(head -n 1 "$work/pty")
    export KVPROG_COM1
    echo "Simulated radio on $KVPROG_COM1 (COM1). Program > Read From Radio, then Start."
    build/bin/kvprog
}
