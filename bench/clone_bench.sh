#!/usr/bin/env bash
# Wall and CPU time of a complete read, a plain write and a safe write (back up, write,
# check) by kvprog-cli against kvradio-sim --pace, as ratios to the floor; a safe write's
# floor is the sum of its three sessions' floors. The floor is what no PC can beat on this line:
# every byte both ways at 9600 baud (10 bits a byte), the exchange's fixed pauses, the
# identification step's one receive time-out (this radio's second handshake ACK, the one
# after the 'M', arrives before the PC's purge and nothing follows it, so the PC waits the
# full 550 ms there), and the radio's answer latency.
#   bench/clone_bench.sh [BUILD_DIR] [RUNS] [LATENCY_MS] [WINDOWS_BUILD_DIR]
# With WINDOWS_BUILD_DIR the Windows kvprog-cli.exe runs instead, under wine, reaching the
# simulated radio as COM5 through wine's port map (the prefix in WINDOWS_BUILD_DIR/wineprefix,
# kept running between runs so each run pays only the program's own start).
# Medians of RUNS runs (default 3). Not a test: it prints figures and judges nothing.
# A pseudo-terminal takes the PC's bytes at once, so the PC's 1 ms pause between a write
# command and its data overlaps the command's four byte times on the simulated line; a
# write can therefore come in up to 123 ms under the floor, which counts them one after
# the other as a real line would.
set -euo pipefail
build="${1:-build}"
runs="${2:-3}"
latency="${3:-5}"
windows="${4:-}"
cli="$build/bin/kvprog-cli"
sim="$build/bin/kvradio-sim"
work=$(mktemp -d)
sim_pid=""
trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
# The backups of the measured runs stay out of the user's own folder.
export XDG_DATA_HOME="$work/data"

"$sim" --pace --latency "$latency" >"$work/port" &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/port" ] && break
    sleep 0.05
done
port=$(head -n 1 "$work/port")
"$cli" new "$work/image.sin"
if [ -n "$windows" ]; then
    export WINEPREFIX="$(realpath "$windows")/wineprefix" WINEDEBUG=-all
    [ -d "$WINEPREFIX/dosdevices" ] || wine wineboot -i >/dev/null 2>&1
    wineserver -p 2>/dev/null || true  # already running for this prefix
    trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null; wineserver -k; rm -rf "$work"' EXIT
    ln -sfn "$port" "$WINEPREFIX/dosdevices/com5"
    port=COM5
    cli="$work/kvprog-cli-wine"
    printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$(realpath "$windows")/bin/kvprog-cli.exe" >"$cli"
    chmod +x "$cli"
    wine "$(realpath "$windows")/bin/kvprog-cli.exe" --version >/dev/null 2>&1 || true
fi

ticks=$(getconf CLK_TCK)
sim_cpu() {  # the radio's user + system time so far, in seconds
    awk -v t="$ticks" '{ printf "%.3f", ($14 + $15) / t }' "/proc/$sim_pid/stat"
}

# measure VERB ARGS...: prints "wall cpu simcpu" for each run, one line each.
measure() {
    local TIMEFORMAT='%R %U %S'
    for ((i = 0; i < runs; i++)); do
        local before after times
        before=$(sim_cpu)
        times=$({ time "$cli" "$@" >/dev/null 2>&1; } 2>&1)
        after=$(sim_cpu)
        echo "$times" | awk -v b="$before" -v a="$after" '{ printf "%s %.3f %.3f\n", $1, $2 + $3, a - b }'
    done
}

# floor TO_RADIO TO_PC PAUSES_MS ANSWERS: one session's floor in seconds.
floor() {
    awk -v up="$1" -v down="$2" -v pauses="$3" -v answers="$4" -v lat="$latency" \
        'BEGIN { printf "%.3f", (up + down) * 10 / 9600 + pauses / 1000 + 0.550 + answers * lat / 1000 }'
}

# report NAME FLOOR_S RESULTS
report() {
    echo "$3" | sort -n | awk -v name="$1" -v floor="$2" '
        { wall[NR] = $1; cpu[NR] = $2; simcpu[NR] = $3 }
        END {
            m = int((NR + 1) / 2)
            printf "%s: wall %.2f s, floor %.2f s\n", name, wall[m], floor
            printf "%s: wall / floor %.3f; kvprog-cli CPU %.3f s (%.1f%% of wall); kvradio-sim CPU %.3f s (%.1f%% of wall)\n",
                   name, wall[m] / floor, cpu[m], 100 * cpu[m] / wall[m], simcpu[m], 100 * simcpu[m] / wall[m]
        }'
}

# Bytes each way and the PC's fixed pauses (ms): 12 x 1 ms before the handshake, 2 after
# its ACK, 16 x 1 after the identification, 2 before the first block; then per read block
# 10 + 10, per write block 1 + 2. Answers: handshake, identification, confirmation, then
# two per read block (reply, ACK) or one per write block.
read_floor=$(floor $((8 + 1 + 1 + 128 * 5)) $((1 + 8 + 1 + 128 * 13)) \
    $((12 + 2 + 16 + 2 + 128 * 20)) $((3 + 128 * 2)))
write_floor=$(floor $((8 + 1 + 1 + 123 * 12)) $((1 + 8 + 1 + 123)) \
    $((12 + 2 + 16 + 2 + 123 * 3)) $((3 + 123)))
report read "$read_floor" "$(measure read --port "$port" "$work/got.sin")"
report "plain write" "$write_floor" \
    "$(measure write --no-backup --no-verify --port "$port" "$work/image.sin")"
report "safe write" "$(awk -v r="$read_floor" -v w="$write_floor" 'BEGIN { print 2 * r + w }')" \
    "$(measure write --port "$port" "$work/image.sin")"
