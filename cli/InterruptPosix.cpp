#include "Interrupt.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace {

// Ctrl+C, a kill, and the terminal going away all ask the run to stop at its next safe point.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler, read by the run's threads (a fleet has one per port): a lock-free
// atomic is both safe in a signal handler and seen by every thread.
std::atomic<int> g_interrupted{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction g_previous[std::size(kStopSignals)]{};

void OnCountedInterrupt(int) {
    g_interrupted.fetch_add(1);
}

void OnInterrupt(int signal) {
    g_interrupted = 1;
    // Only async-signal-safe calls here: the next such signal gets the default action.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
}

}  // namespace

CInterruptGuard::CInterruptGuard(bool countEvery) {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = countEvery ? OnCountedInterrupt : OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        sigaction(kStopSignals[i], &action, &g_previous[i]);
    }
}

CInterruptGuard::~CInterruptGuard() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        sigaction(kStopSignals[i], &g_previous[i], nullptr);
    }
}

bool InterruptRequested() {
    return g_interrupted != 0;
}

int InterruptCount() {
    return g_interrupted.load();
}
