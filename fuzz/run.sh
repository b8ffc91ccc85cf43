#!/usr/bin/env bash
# Runs every libFuzzer target of a build (-DKV_FUZZ=ON) for a bounded time each: the target
# fuzz_NAME starts from its committed seeds in fuzz/seeds/NAME/ plus a scratch corpus kept in
# the build folder between runs. Prints one summary line per target; on a finding prints the
# tail of the target's log (which ends with where the reproducer was written), and exits 1.
#   fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 15)
set -euo pipefail

seeds="$(cd "$(dirname "$0")" && pwd)/seeds"
build="${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]}"
seconds="${2:-15}"
case "$seconds" in
    '' | *[!0-9]* | 0) echo "fuzz/run.sh: seconds must be a positive whole number" >&2; exit 2 ;;
esac
build="$(cd "$build" && pwd)"

# The number after the last match of PREFIX in FILE, "?" when there is none.
last_number() {
    local value
    value=$(grep -o "$1[0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$' || true)
    echo "${value:-?}"
}

found=0
for dir in "$seeds"/*/; do
    name="$(basename "$dir")"
    target="fuzz_$name"
    binary="$build/bin/$target"
    if [ ! -x "$binary" ]; then
        echo "$target: not built in $build (configure with -DKV_FUZZ=ON)" >&2
        exit 1
    fi
    corpus="$build/fuzz-corpus/$name"
    findings="$build/fuzz-findings"
    log="$build/fuzz-logs/$name.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    # -timeout: one input may take this long; every exchange ends in milliseconds of real
    # time, its waits being virtual.
    status=0
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/$name-" "$corpus" "$dir" \
        >"$log" 2>&1 || status=$?
    runs=$(last_number 'stat::number_of_executed_units: *' "$log")
    rate=$(last_number 'stat::average_exec_per_sec: *' "$log")
    cov=$(last_number 'cov: ' "$log")
    corp=$(last_number 'corp: ' "$log")
    if [ "$status" -ne 0 ]; then
        echo "$target: FINDING (exit $status); log $log" >&2
        tail -n 60 "$log" >&2
        found=1
        continue
    fi
    echo "$target: ${seconds} s, $runs runs ($rate/s), coverage $cov, corpus $corp"
done
exit "$found"
