// Ctrl+C, SIGTERM or SIGHUP during a radio run: the first asks the run to stop at its next
// cancel check (the port is then closed properly); a second of the same kind ends the
// program at once.
#pragma once

// Installs the handler for its lifetime and clears any earlier request.
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;
};

// True once Ctrl+C (SIGINT), SIGTERM or SIGHUP arrived under a guard.
bool InterruptRequested();
