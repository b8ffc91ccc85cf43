#!/usr/bin/env bash
# A long fuzzing campaign that grows the committed seed corpora. Every target of the build
# fuzzes in turn for an equal share of HOURS (a fraction such as 0.1 will do) from its seeds
# in fuzz/seeds/NAME/ plus the scratch corpus fuzz/run.sh keeps too; then what it found is
# merged into the seeds, minimised: the seeds folder ends up holding a small set of inputs,
# old and new, that covers every edge the union covers. A kept seed keeps its file name; a
# new input is named by its SHA-1, as libFuzzer names it.
#
# Prints per target the runs made, the coverage of the seeds before and after (libFuzzer's
# cov: edges and ft: features) and the number of seed files; on a finding, the log's tail
# and where the reproducer was written, and exits 1 once every target has had its share.
#   fuzz/campaign.sh HOURS [BUILD_DIR]   (default build-san, as test.sh builds it)
set -euo pipefail
# shellcheck source=fuzz/common.sh
. "$(dirname "$0")/common.sh"

hours="${1:?usage: fuzz/campaign.sh HOURS [BUILD_DIR]}"
build="${2:-$fuzz_repo/build-san}"
if ! [[ "$hours" =~ ^([0-9]+\.?[0-9]*|\.[0-9]+)$ ]]; then
    echo "fuzz/campaign.sh: HOURS must be a positive number" >&2
    exit 2
fi
build="$(cd "$build" && pwd)"
mapfile -t names < <(fuzz_names)
for name in "${names[@]}"; do
    fuzz_binary "$build" "$name" >/dev/null || exit 1
done
share=$(awk -v h="$hours" -v n="${#names[@]}" 'BEGIN { s = int(h * 3600 / n); print s }')
if [ "$share" -lt 1 ]; then
    echo "fuzz/campaign.sh: HOURS leaves less than a second per target" >&2
    exit 2
fi
work="$build/fuzz-campaign"
mkdir -p "$work"

files() { find "$1" -type f | wc -l; }

# "cov ft" of what target NAME covers running the inputs of DIR once.
coverage() {
    local log="$work/$1.coverage.log"
    "$(fuzz_binary "$build" "$1")" -runs=0 "$2" >"$log" 2>&1 || true
    echo "$(last_number 'cov: ' "$log") $(last_number 'ft: ' "$log")"
}

# Merges the scratch corpus of NAME into its seeds, minimised, through a fresh folder; a
# merge that fails leaves the seeds as they were.
merge() {
    local seeds="$fuzz_seeds/$1" merged="$work/$1.merged" file sum
    rm -rf "$merged"
    mkdir -p "$merged"
    # -use_counters=0: an input stays for an edge no other covers, not for each new hit
    # count of an edge; that keeps the seeds a third of the size, the scratch corpus keeping
    # the rest.
    if ! "$(fuzz_binary "$build" "$1")" -merge=1 -use_counters=0 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$(fuzz_findings "$build")/$1-merge-" "$merged" "$seeds" \
        "$(fuzz_scratch "$build" "$1")" >"$work/$1.merge.log" 2>&1 ||
        [ -z "$(ls "$merged")" ]; then
        echo "fuzz_$1: merge failed, seeds unchanged; log $work/$1.merge.log" >&2
        return 1
    fi
    # A seed that stays goes back under its own name (libFuzzer names a file by its SHA-1).
    for file in "$seeds"/*; do
        sum=$(sha1sum "$file" | cut -d' ' -f1)
        if [ -e "$merged/$sum" ] && [ "$sum" != "$(basename "$file")" ]; then
            mv "$merged/$sum" "$merged/$(basename "$file")" || return 1
        fi
    done
    rm -f "$seeds"/* && cp "$merged"/* "$seeds"/
}

echo "fuzz/campaign.sh: ${#names[@]} targets, $share s each, build $build"
found=0
for name in "${names[@]}"; do
    files_before=$(files "$fuzz_seeds/$name")
    read -r cov_before ft_before <<<"$(coverage "$name" "$fuzz_seeds/$name")"
    log="$work/$name.log"
    status=0
    fuzz_run "$build" "$name" "$log" "$share" || status=$?
    runs=$(last_number 'stat::number_of_executed_units: *' "$log")
    if [ "$status" -ne 0 ]; then
        fuzz_report_finding "$name" "$status" "$log"
        found=1
    fi
    merge "$name" || found=1
    read -r cov_after ft_after <<<"$(coverage "$name" "$fuzz_seeds/$name")"
    files_after=$(files "$fuzz_seeds/$name")
    echo "fuzz_$name: $runs runs in $share s ($(last_number 'stat::average_exec_per_sec: *' "$log")/s);" \
        "seeds cov $cov_before -> $cov_after, ft $ft_before -> $ft_after," \
        "files $files_before -> $files_after; $([ "$status" -eq 0 ] && echo "no findings" || echo "FINDING, exit $status")"
done
exit "$found"
