#!/usr/bin/env bash
# Instructions kvprog runs to its first shown window against a bare main window built the
# same way (bench_bare_window), counted by valgrind's callgrind on the offscreen platform.
#   bench/startup_instructions.sh [BUILD_DIR] [LIMIT]
# Each program runs three times, whole, with KVPROG_QUIT_WHEN_SHOWN=1: it starts, shows its
# window and quits, and callgrind counts every instruction of the run, the dynamic linker's
# and the exit's included. Unlike times, the counts hardly move with the machine's load (a
# few thousandths from run to run, which the median of the three evens out), so the ratio can
# be checked against a limit: the script prints both counts and the ratio, and exits 1 when
# the ratio is above LIMIT (default 1.6).
set -euo pipefail
build="${1:-build}"
limit="${2:-1.6}"
export QT_QPA_PLATFORM=offscreen
export KVPROG_QUIT_WHEN_SHOWN=1
bare_bin="$build/bin/bench_bare_window"
kvprog_bin="$build/bin/kvprog"
for bin in "$bare_bin" "$kvprog_bin"; do
    [[ -x "$bin" ]] || { echo "startup_instructions.sh: $bin is not built" >&2; exit 2; }
done
command -v valgrind >/dev/null || { echo "startup_instructions.sh: needs valgrind" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions of one whole run of "$@" (callgrind's "Collected" count).
instructions() {
    local log="$work/log"
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" >/dev/null 2>"$log" || {
        echo "startup_instructions.sh: $* failed under valgrind:" >&2
        cat "$log" >&2
        exit 2
    }
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' "$log"
}

# The median of three runs' counts: one run's count moves by about 0.2 M from run to run.
median_instructions() {
    # A first run outside valgrind fills the system's caches (the font cache) for both.
    "$@" >/dev/null 2>&1 || true
    for _ in 1 2 3; do instructions "$@"; done | sort -n | sed -n 2p
}

bare=$(median_instructions "$bare_bin")
kvprog=$(median_instructions "$kvprog_bin")
awk -v b="$bare" -v a="$kvprog" -v limit="$limit" 'BEGIN {
    ratio = a / b
    printf "instructions to the first shown window: bare %.1f M, kvprog %.1f M\n", b / 1e6, a / 1e6
    printf "start-up instructions kvprog / bare window: %.3f (limit %s)\n", ratio, limit
    if (ratio > limit) {
        printf "start-up instructions kvprog / bare window %.3f is above the limit %s\n", ratio, limit > "/dev/stderr"
        exit 1
    }
}'
