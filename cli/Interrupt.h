// Ctrl+C, SIGTERM or SIGHUP during a radio run: the first asks the run to stop at its next
// cancel check (the port is then closed properly); a second of the same kind ends the
// program at once.
#pragma once

// Installs the handler for its lifetime and clears any earlier request. With countEvery, a
// second signal does not end the program: every one is counted (InterruptCount), for a run
// that stops in two steps.
class CInterruptGuard {
public:
    explicit CInterruptGuard(bool countEvery = false);
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;
};

// True once Ctrl+C (SIGINT), SIGTERM or SIGHUP arrived under a guard.
bool InterruptRequested();
// How many of them arrived under the guard.
int InterruptCount();
