#!/usr/bin/env bash
# Start-up time of kvprog to its first shown window, as a ratio to a bare main-window
# program built the same way: the median of RUNS runs each, on the offscreen platform.
#   bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build="${1:-build}"
runs="${2:-15}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export KVPROG_QUIT_WHEN_SHOWN=1

median_ms() {  # median wall time of running "$@" $runs times, in milliseconds
    local times=()
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

"$build/bin/kvprog" >/dev/null 2>&1 || true  # warm the file cache
bare=$(median_ms "$build/bin/bench_bare_window")
kvprog=$(median_ms "$build/bin/kvprog")
echo "bare main window: ${bare} ms, kvprog: ${kvprog} ms (median of $runs)"
awk -v a="$kvprog" -v b="$bare" 'BEGIN {printf "kvprog start-up / bare window: %.2f\n", a / b}'
