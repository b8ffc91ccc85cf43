#!/usr/bin/env bash
# Production mode on several ports at once: kvprog-cli fleet against N simulated radios with
# 9600-baud byte times (kvradio-sim --pace), one safe write each (--count N, an ID each), for
# N = 1, 2, 4, 8. Each port has a thread of its own and the line is the bottleneck, so N
# radios should take about as long as one.
#   bench/fleet_bench.sh [BUILD_DIR] [RUNS]
# For each N: the median wall time of RUNS runs (default 3), its ratio to one radio's, and
# kvprog-cli's user + system time as a share of its wall time (the radios' own CPU time is
# printed beside it: they share the machine's cores). Not a test: it prints figures and
# judges nothing.
set -euo pipefail
build="${1:-build}"
runs="${2:-3}"
cli="$build/bin/kvprog-cli"
sim="$build/bin/kvradio-sim"
sizes=(1 2 4 8)
max=8
work=$(mktemp -d)
sim_pids=()
trap 'for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT
# The backups of the measured runs stay out of the user's own folder.
export XDG_DATA_HOME="$work/data"

ports=()
for ((i = 0; i < max; i++)); do
    "$sim" --pace >"$work/port$i" &
    sim_pids+=($!)
done
for ((i = 0; i < max; i++)); do
    for _ in $(seq 100); do
        [ -s "$work/port$i" ] && break
        sleep 0.05
    done
    ports+=("$(head -n 1 "$work/port$i")")
done

# A document whose PTT ID mode is BOT, so that each radio gets an ID of its own.
"$cli" new "$work/doc.sin"
python3 -c "
import sys
d = bytearray(open(sys.argv[1], 'rb').read()); d[0x3C5] = (d[0x3C5] & ~3) | 1
open(sys.argv[1], 'wb').write(d)" "$work/doc.sin"

ticks=$(getconf CLK_TCK)
sims_cpu() {  # the radios' user + system time so far, in seconds
    for pid in "${sim_pids[@]}"; do cat "/proc/$pid/stat"; done |
        awk -v t="$ticks" '{ s += $14 + $15 } END { printf "%.3f", s / t }'
}

# measure N: prints "wall cpu simcpu" for each of RUNS runs on the first N ports. Every run
# must log N successful jobs, or the figures would be of something else.
measure() {
    local n="$1" args=() TIMEFORMAT='%R %U %S'
    for ((p = 0; p < n; p++)); do args+=(--port "${ports[$p]}"); done
    for ((r = 0; r < runs; r++)); do
        local log="$work/jobs-$n-$r.csv" before after times
        before=$(sims_cpu)
        times=$({ time "$cli" fleet "${args[@]}" --count "$n" --id-from 1 --log "$log" \
            "$work/doc.sin" </dev/null >/dev/null 2>&1; } 2>&1)
        after=$(sims_cpu)
        local succeeded
        succeeded=$(tail -n +2 "$log" | grep -c ',ok,' || true)
        if [ "$succeeded" -ne "$n" ]; then
            echo "fleet_bench.sh: $n ports gave $succeeded successful jobs" >&2
            exit 1
        fi
        echo "$times" | awk -v b="$before" -v a="$after" '{ printf "%s %.3f %.3f\n", $1, $2 + $3, a - b }'
    done
}

median_of() {  # median_of FIELD: the median of that field of the lines on stdin
    awk -v f="$1" '{ print $f }' | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

printf '%-8s %10s %14s %14s %18s\n' radios "wall (s)" "wall / one" "kvprog-cli CPU" "kvradio-sim CPU"
one=""
for n in "${sizes[@]}"; do
    results=$(measure "$n")
    wall=$(echo "$results" | median_of 1)
    cpu=$(echo "$results" | median_of 2)
    simcpu=$(echo "$results" | median_of 3)
    one="${one:-$wall}"
    awk -v n="$n" -v w="$wall" -v o="$one" -v c="$cpu" -v s="$simcpu" 'BEGIN {
        printf "%-8d %10.2f %14.3f %13.2f%% %17.2f%%\n", n, w, w / o, 100 * c / w, 100 * s / w }'
done
echo "(medians of $runs runs; CPU time as a share of the run's wall time, the radios' summed;" \
    "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end)"
