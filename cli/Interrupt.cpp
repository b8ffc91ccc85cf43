#include "Interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previous {};

void OnInterrupt(int /*signal*/) {
    g_interrupted = 1;
    // Only async-signal-safe calls here: the next Ctrl+C gets the default action.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGINT, &fallback, nullptr);
}

}  // namespace

CInterruptGuard::CInterruptGuard() {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previous);
}

CInterruptGuard::~CInterruptGuard() {
    sigaction(SIGINT, &g_previous, nullptr);
}

bool InterruptRequested() {
    return g_interrupted != 0;
}
