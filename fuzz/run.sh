#!/usr/bin/env bash
# Runs every libFuzzer target of a build (-DKV_FUZZ=ON) for a bounded time each: the target
# fuzz_NAME starts from its committed seeds in fuzz/seeds/NAME/ plus a scratch corpus kept in
# the build folder between runs. Prints one summary line per target; on a finding prints the
# tail of the target's log and where the reproducer was written, and exits 1.
#   fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 15)
set -euo pipefail
# shellcheck source=fuzz/common.sh
. "$(dirname "$0")/common.sh"

build="${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]}"
seconds="${2:-15}"
case "$seconds" in
    '' | *[!0-9]* | 0) echo "fuzz/run.sh: seconds must be a positive whole number" >&2; exit 2 ;;
esac
build="$(cd "$build" && pwd)"

found=0
for name in $(fuzz_names); do
    fuzz_binary "$build" "$name" >/dev/null || exit 1
    log="$build/fuzz-logs/$name.log"
    status=0
    fuzz_run "$build" "$name" "$log" "$seconds" || status=$?
    if [ "$status" -ne 0 ]; then
        fuzz_report_finding "$name" "$status" "$log"
        found=1
        continue
    fi
    runs=$(last_number 'stat::number_of_executed_units: *' "$log")
    rate=$(last_number 'stat::average_exec_per_sec: *' "$log")
    echo "fuzz_$name: ${seconds} s, $runs runs ($rate/s), coverage $(last_number 'cov: ' "$log")," \
        "corpus $(last_number 'corp: ' "$log")"
done
exit "$found"
