# shellcheck shell=bash
# What fuzz/run.sh and fuzz/campaign.sh share; sourced, not run. The target fuzz_NAME is
# built into BUILD/bin/ (configure with -DKV_FUZZ=ON) and its committed seed corpus is
# fuzz/seeds/NAME/; a scratch corpus kept in the build folder carries what earlier runs found.

fuzz_seeds="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/seeds"

# Sanitizer settings as test.sh gives them, for a run started on its own.
fuzz_repo="$(cd "$fuzz_seeds/../.." && pwd)"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$fuzz_repo/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=0}"

# The targets' names, NAME of each fuzz/seeds/NAME/.
fuzz_names() {
    local dir
    for dir in "$fuzz_seeds"/*/; do
        basename "$dir"
    done
}

# The binary of target NAME in BUILD; fails with the reason when it is not built.
fuzz_binary() {
    local binary="$1/bin/fuzz_$2"
    if [ ! -x "$binary" ]; then
        echo "fuzz_$2: not built in $1 (configure with -DKV_FUZZ=ON)" >&2
        return 1
    fi
    echo "$binary"
}

fuzz_scratch() { echo "$1/fuzz-corpus/$2"; }
fuzz_findings() { echo "$1/fuzz-findings"; }

# The number after the last match of PREFIX in FILE, "?" when there is none.
last_number() {
    local value
    value=$(grep -o "$1[0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$' || true)
    echo "${value:-?}"
}

# fuzz_run BUILD NAME LOG SECONDS: fuzzes target NAME for SECONDS from its seeds and scratch
# corpus, new inputs going to the scratch corpus, the log to LOG. Returns the target's exit
# status: non-zero is a finding, its reproducer in the findings folder.
fuzz_run() {
    local binary scratch findings status=0
    binary="$(fuzz_binary "$1" "$2")" || return 1
    scratch="$(fuzz_scratch "$1" "$2")"
    findings="$(fuzz_findings "$1")"
    mkdir -p "$scratch" "$findings" "$(dirname "$3")"
    # -timeout: one input may take this long; every exchange ends in milliseconds of real
    # time, its waits being virtual.
    "$binary" -max_total_time="$4" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/$2-" "$scratch" "$fuzz_seeds/$2" \
        >"$3" 2>&1 || status=$?
    return "$status"
}

# fuzz_report_finding NAME STATUS LOG: the finding's reason and its reproducer, on stderr.
fuzz_report_finding() {
    echo "fuzz_$1: FINDING (exit $2); log $3" >&2
    tail -n 60 "$3" >&2
    grep -h -o "Test unit written to .*" "$3" | sed 's/^Test unit written to /reproducer: /' >&2 || true
}
