// Ctrl+C, Ctrl+Break and closing the console window on Windows: the console calls the
// handler on a thread of its own, which counts as the signal handler does on Linux.
#include <windows.h>

#include <atomic>

#include "Interrupt.h"

namespace {

std::atomic<int> g_interrupted{0};
std::atomic<bool> g_countEvery{false};
std::atomic<bool> g_guarded{false};  // a run is under a guard

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return FALSE;
    }
    // A second press ends the program at once unless every press is counted; closing the
    // window gives the run the few seconds Windows allows to close the port properly.
    if (g_interrupted.fetch_add(1) > 0 && !g_countEvery && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // The process ends when this returns (Windows allows about five seconds): wait for
        // the run to reach its safe point and let its guard go.
        for (int waited = 0; g_guarded && waited < 4500; waited += 50) {
            ::Sleep(50);
        }
    }
    return TRUE;
}

}  // namespace

CInterruptGuard::CInterruptGuard(bool countEvery) {
    g_interrupted = 0;
    g_countEvery = countEvery;
    g_guarded = true;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CInterruptGuard::~CInterruptGuard() {
    g_guarded = false;
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

bool InterruptRequested() {
    return g_interrupted != 0;
}

int InterruptCount() {
    return g_interrupted.load();
}
