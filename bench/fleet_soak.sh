#!/usr/bin/env bash
# A long unattended production run: kvprog-cli fleet --auto --count JOBS --id-from 1 against
# PORTS simulated radios (no byte times) that a driver per port switches off and swaps as an
# operator would: after each job on its port it sends "off", waits 2.5 s, then "new" (another
# radio), which in one case out of ten is a faulty radio (a random one of a few quick faults).
#   bench/fleet_soak.sh [BUILD_DIR] [JOBS] [PORTS]       (default 1000 jobs, 8 ports)
# SOAK_SEED fixes the drivers' random choices (default: the script's process ID);
# SOAK_FAULTY is the share of faulty radios in percent (default 10); with SOAK_KEEP set the
# scratch folder (job log, output, the radios' error output) stays.
# A safe write takes about 11 s here and a change of radio about 5 s, so 1000 jobs on 8 ports
# take about 35 minutes.
#
# Afterwards it checks and prints: every job kvprog-cli reported is a row of the job log,
# every failed row says why, no PTT ID is on two rows whose radio may hold it (ok, or failed
# at verify, or at write once something was sent), healthy radios did not fail, and
# kvprog-cli's open descriptors, threads and resident memory, sampled at the start and about
# every 50 jobs (a tenth of a shorter run), do not grow.
# Exit status 1 when a check fails.
set -euo pipefail
build=$(realpath "${1:-build}")  # the script works in a scratch folder
jobs="${2:-1000}"
nports="${3:-8}"
seed="${SOAK_SEED:-$$}"
faulty_percent="${SOAK_FAULTY:-10}"
cli="$build/bin/kvprog-cli"
sim="$build/bin/kvradio-sim"
# A port with no new row for this long counts as hung.
hang_after=300
work=$(mktemp -d)
pids=()
cli_pid=""
cleanup() {
    for pid in $cli_pid "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    if [ -n "${SOAK_KEEP:-}" ]; then echo "soak: the run's files are in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
cd "$work"
export XDG_DATA_HOME="$work/data"

# A document whose PTT ID mode is BOT, so that each radio gets an ID of its own.
"$cli" new doc.sin
python3 -c "
d = bytearray(open('doc.sin', 'rb').read()); d[0x3C5] = (d[0x3C5] & ~3) | 1
open('doc.sin', 'wb').write(d)"

# The radios, each reading its commands from a FIFO held open here (descriptor in ctl[i]).
ports=()
ctl=()
for ((i = 0; i < nports; i++)); do
    mkfifo "ctl$i"
    exec {fd}<>"ctl$i"
    ctl+=("$fd")
    "$sim" --control <"ctl$i" >"port$i" 2>"sim$i.err" &
    pids+=($!)
done
args=()
for ((i = 0; i < nports; i++)); do
    for _ in $(seq 100); do
        [ -s "port$i" ] && break
        sleep 0.05
    done
    ports+=("$(head -n 1 "port$i")")
    args+=(--port "${ports[$i]}")
done

# A random quick fault: the radio fails at once in the stage the fault hits. Blocks 0-122
# are written, all 128 read; the radio sends about 3480 bytes in a safe write.
random_fault() {
    case $((RANDOM % 5)) in
        0) echo "no-write-ack=$((RANDOM % 123))" ;;
        1) echo "no-read-ack=$((RANDOM % 128))" ;;
        2) echo "short-reply=$((RANDOM % 128)):10" ;;
        3) echo "drop-after=$((1 + RANDOM % 3480))" ;;
        4) echo "flip-bit=$((RANDOM % 0x3D8))" ;;
    esac
}

# drive I: the operator at port I. radios$I.txt gets one line a radio, "-" or its faults,
# in the order the radios were connected.
drive() {
    local i="$1" port="${ports[$1]}" fd="${ctl[$1]}" line fault
    RANDOM=$((seed + i))
    echo - >"radios$i.txt"  # the radio the simulator started with
    tail -n +1 -F --pid="$cli_pid" out.txt 2>/dev/null | while IFS= read -r line; do
        [[ "$line" == "$port  #"* ]] || continue
        echo off >&"$fd"
        sleep 2.5
        fault=""
        ((RANDOM % 100 < faulty_percent)) && fault=$(random_fault)
        echo "new $fault" >&"$fd"
        echo "${fault:--}" >>"radios$i.txt"
    done
}

rows() { [ -f jobs.csv ] && echo $(($(wc -l <jobs.csv) - 1)) || echo 0; }

# sample JOBS: "jobs descriptors port-descriptors threads rss-KiB anonymous-KiB" of
# kvprog-cli (the resident size also counts the pages of the program and its libraries that
# have been used so far; the anonymous part is the heap and the stacks).
sample() {
    local all=0 on_ports=0 target
    for f in /proc/"$cli_pid"/fd/*; do
        target=$(readlink "$f" 2>/dev/null) || continue
        all=$((all + 1))
        [[ "$target" == /dev/pts/* ]] && on_ports=$((on_ports + 1))
    done
    awk -v j="$1" -v a="$all" -v p="$on_ports" '
        /^Threads:/ { t = $2 } /^VmRSS:/ { r = $2 } /^RssAnon:/ { n = $2 }
        END { print j, a, p, t, r, n }' "/proc/$cli_pid/status"
}

start=${EPOCHREALTIME/./}
"$cli" fleet "${args[@]}" --auto --count "$jobs" --id-from 1 --log jobs.csv doc.sin \
    </dev/null >out.txt 2>err.txt &
cli_pid=$!
drivers=()
for ((i = 0; i < nports; i++)); do
    drive "$i" &
    drivers+=($!)
done
echo "soak: $jobs jobs, $nports ports, seed $seed, kvprog-cli pid $cli_pid"

sleep 1
sample 0 >samples.txt
every=$((jobs >= 500 ? 50 : (jobs + 9) / 10))
next=$every
last_rows=0
last_change=$SECONDS
hung=""
while kill -0 "$cli_pid" 2>/dev/null; do
    sleep 1
    n=$(rows)
    if ((n != last_rows)); then
        last_rows=$n
        last_change=$SECONDS
    elif ((SECONDS - last_change > hang_after)); then
        hung="no row for ${hang_after} s after $n rows"
        sample "$n" >>samples.txt 2>/dev/null || true
        kill "$cli_pid"
        break
    fi
    if ((n >= next)); then
        sample "$n" >>samples.txt 2>/dev/null || true
        echo "soak: $n rows, $(($(date +%s) - start / 1000000)) s"
        next=$((n / every * every + every))
    fi
done
status=0
wait "$cli_pid" || status=$?
end=${EPOCHREALTIME/./}
wait "${drivers[@]}"  # they end when they have seen kvprog-cli's last lines
for ((i = 0; i < nports; i++)); do echo "${ports[$i]} radios$i.txt"; done >port_radios.txt

python3 - "$jobs" "$status" "$(((end - start) / 1000))" "$hung" <<'PY'
import csv, sys, re, collections
jobs, status, wall_ms, hung = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
failed_checks = []
def check(what, good, detail=""):
    print(f"check: {what}: {'ok' if good else 'FAILED'}{' (' + detail + ')' if detail else ''}")
    if not good:
        failed_checks.append(what)

rows = list(csv.DictReader(open("jobs.csv", newline="")))
out = [l for l in open("out.txt").read().splitlines() if re.match(r"\S+  #\d+  ", l)]
err = open("err.txt").read()
m = re.search(r"kvprog-cli: (\d+) ok, (\d+) failed", err)
reported_ok, reported_failed = (int(m[1]), int(m[2])) if m else (None, None)
ok = [r for r in rows if r["result"] == "ok"]
bad = [r for r in rows if r["result"] != "ok"]
print(f"kvprog-cli: exit {status}, reported {reported_ok} ok, {reported_failed} failed; "
      f"{len(out)} job lines, {len(rows)} log rows; wall {wall_ms / 1000:.0f} s "
      f"({wall_ms / 1000 / max(len(rows), 1):.2f} s a job overall)")
def stage(row):
    return row["result"].split(":")[0]
stages = collections.Counter(stage(r) for r in bad)
print("failures by stage:", ", ".join(f"{s} {n}" for s, n in sorted(stages.items())) or "none")

check("kvprog-cli ended by itself", not hung and m is not None, hung)
check("the exit status says whether a job failed", status == (1 if bad else 0), f"exit {status}")
check(f"{jobs} jobs succeeded", len(ok) == jobs, f"{len(ok)}")
check("every reported job is a log row and a line of output",
      reported_ok is not None and len(rows) == reported_ok + reported_failed == len(out))
reasonless = [r["result"] for r in bad
              if not re.fullmatch(r"(open|backup|type|log|write|verify|stopped|cut short): .+",
                                  r["result"], re.S)]
check("every failed row says why", not reasonless, "; ".join(reasonless[:5]))
# A row names an ID only when its radio may hold it; a failed row without one says where
# its ID went.
written = [r for r in rows if r["ptt_id"]]
untold = [r["result"] for r in bad if not r["ptt_id"] and "goes to the next radio" not in r["result"]]
check("every failed row without an ID says where it went", not untold, "; ".join(untold[:5]))
dups = {i: n for i, n in collections.Counter(r["ptt_id"] for r in written).items() if n > 1}
check("no PTT ID on two rows whose radio may hold it", not dups,
      f"{len(dups)} IDs twice: " + " ".join(sorted(dups, key=int)[:10]) if dups else
      f"{len(written)} such rows")
ids = sorted(int(r["ptt_id"]) for r in written)
print(f"PTT IDs of those rows: {ids[0] if ids else '-'} to {ids[-1] if ids else '-'}, "
      f"{len(set(ids))} distinct")

# Each port's rows in order against the radios its driver connected, in order.
faulty_ok = healthy_failed = 0
healthy_failures = []
for line in open("port_radios.txt"):
    port, name = line.split()
    radios = open(name).read().split()
    mine = [r for r in rows if r["port"] == port]
    for row, radio in zip(mine, radios):
        if radio == "-" and row["result"] != "ok":
            healthy_failed += 1
            healthy_failures.append(f"{port}: {row['result']}")
        elif radio != "-" and row["result"] == "ok":
            faulty_ok += 1
faulty = sum(1 for line in open("port_radios.txt")
             for r in open(line.split()[1]).read().split() if r != "-")
print(f"faulty radios connected: {faulty}; jobs that still succeeded on one: {faulty_ok} "
      "(a fault past the bytes a safe write uses, or on a byte written unchanged)")
check("no healthy radio failed", healthy_failed == 0, "; ".join(healthy_failures[:5]))

samples = [list(map(int, l.split())) for l in open("samples.txt") if l.strip()]
print("samples (rows, descriptors, of them ports, threads, RSS KiB, of it anonymous KiB):")
for s in samples:
    print("  ", *s)
if len(samples) >= 3:
    first, warm, last = samples[0], samples[1], samples[-1]
    # The first write opens the job log's journal, held for the run: one descriptor more
    # from then on, and no further one.
    other = [s[1] - s[2] for s in samples]
    check("descriptors other than the ports do not grow after the first jobs",
          max(other[1:]) <= max(other[0], other[1]) <= other[0] + 1,
          f"start {other[0]}, after {warm[0]} rows {other[1]}, max {max(other)}, end {other[-1]}")
    check("threads do not grow", max(s[3] for s in samples) <= max(first[3], warm[3]),
          f"start {first[3]}, end {last[3]}")
    # The first jobs warm the allocator up (a heap arena per thread); from then on the
    # resident size must stay put: at most 1 MiB above its level at the second sample.
    check("resident memory does not grow after the first jobs", last[4] - warm[4] <= 1024,
          f"start {first[4]} KiB, after {warm[0]} rows {warm[4]} KiB, end {last[4]} KiB; "
          f"anonymous {first[5]}, {warm[5]}, {last[5]} KiB")
else:
    check("enough samples", False, f"{len(samples)}")
sys.exit(1 if failed_checks else 0)
PY
