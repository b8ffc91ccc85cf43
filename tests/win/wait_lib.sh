# Sourced by the wine scripts: waiting for what a Windows program does by itself, which under
# wine on a busy machine takes from a moment to a minute.

# wait_for TEST...: the test holds within 120 s.
wait_for() {
    for _ in $(seq 1200); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
