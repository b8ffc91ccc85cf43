// Ctrl+C during a radio run: the first one asks the run to stop at its next cancel check
// (the port is then closed properly); a second one ends the program at once.
#pragma once

// Installs the handler for its lifetime and clears any earlier request.
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;
};

// True once Ctrl+C (SIGINT) has been pressed under a guard.
bool InterruptRequested();
