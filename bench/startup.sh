#!/usr/bin/env bash
# Start-up of kvprog to its first shown window against a bare main window built the same way
# (bench_bare_window), on the offscreen platform.
#   bench/startup.sh [BUILD_DIR] [RUNS] [ROUNDS]
# Time: ROUNDS rounds of RUNS runs each, the two programs taking turns (bare, kvprog, bare,
# ...) so that a slower spell of the machine falls on both; each round gives the ratio of
# the two medians, and the figure is the median of the round ratios.
# Memory: peak resident size (GNU time's %M) of each program, the median of MEM_RUNS runs
# taken in turns as well. It is measured in runs of its own so that the wrapper's start-up
# does not count in the times.
set -euo pipefail
build="${1:-build}"
runs="${2:-21}"
rounds="${3:-3}"
mem_runs="${MEM_RUNS:-7}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export KVPROG_QUIT_WHEN_SHOWN=1
bare_bin="$build/bin/bench_bare_window"
kvprog_bin="$build/bin/kvprog"
gnu_time=/usr/bin/time
[[ -x "$gnu_time" ]] || { echo "startup.sh: needs GNU time ($gnu_time)" >&2; exit 1; }

# Wall time of one run of "$@" in microseconds; bash's own clock, so no helper process
# starts inside the measured span.
run_us() {
    local start=${EPOCHREALTIME/./}
    "$@" >/dev/null 2>&1
    local end=${EPOCHREALTIME/./}
    echo $((end - start))
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# Warm the file cache and the font cache before anything counts.
"$bare_bin" >/dev/null 2>&1 || true
"$kvprog_bin" >/dev/null 2>&1 || true

peak_kib() {  # peak resident size of one run of "$@", in KiB
    local out
    out=$(mktemp)
    "$gnu_time" -f %M -o "$out" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$out"
    rm -f "$out"
}

# "BARE KVPROG": the medians of COUNT figures of MEASURE for each program, taken in turns.
paired_medians() {
    local measure="$1" count="$2" bare=() kvprog=()
    for ((i = 0; i < count; i++)); do
        bare+=("$("$measure" "$bare_bin")")
        kvprog+=("$("$measure" "$kvprog_bin")")
    done
    echo "$(printf '%s\n' "${bare[@]}" | median) $(printf '%s\n' "${kvprog[@]}" | median)"
}

ratios=()
for ((r = 1; r <= rounds; r++)); do
    read -r bare kvprog < <(paired_medians run_us "$runs")
    ratio=$(awk -v a="$kvprog" -v b="$bare" 'BEGIN {printf "%.3f", a / b}')
    ratios+=("$ratio")
    awk -v r="$r" -v a="$kvprog" -v b="$bare" -v q="$ratio" -v n="$runs" 'BEGIN {
        printf "round %d: bare %.1f ms, kvprog %.1f ms (medians of %d), ratio %s\n",
               r, b / 1000, a / 1000, n, q }'
done
time_ratio=$(printf '%s\n' "${ratios[@]}" | median)
read -r bare_kib kvprog_kib < <(paired_medians peak_kib "$mem_runs")

awk -v b="$bare_kib" -v a="$kvprog_kib" -v n="$mem_runs" 'BEGIN {
    printf "peak memory (max RSS, median of %d): bare %.1f MiB, kvprog %.1f MiB\n",
           n, b / 1024, a / 1024 }'
echo "start-up time kvprog / bare window: $time_ratio (median of the round ratios ${ratios[*]})"
awk -v a="$kvprog_kib" -v b="$bare_kib" 'BEGIN {
    printf "peak memory kvprog / bare window: %.3f\n", a / b }'
