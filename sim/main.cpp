// kvradio-sim: a simulated radio on a pseudo-terminal, for trying kvprog and testing it
// without a radio.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <system_error>

#include "ByteLog.h"
#include "NewDocument.h"
#include "Pty.h"
#include "SimOptions.h"
#include "SimRadio.h"
#include "SimServer.h"
#include "SinFile.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Written by the signal handler, watched by the main loop's poll.
int g_stopWrite = -1;

extern "C" void OnStopSignal(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(g_stopWrite, &byte, 1);
}

// Returns the read end of a pipe that becomes readable on SIGINT, SIGTERM or SIGHUP.
int StopOnSignals() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    g_stopWrite = fds[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    return fds[0];
}

int Serve(const SimOptions& options) {
    RadioImage memory = NewDocumentImage(RadioType::T310X);
    if (options.image) {
        if (const Result<> loaded = LoadSinFile(*options.image, memory); !loaded) {
            std::cerr << "kvradio-sim: " << loaded.message << "\n";
            return kExitUsage;
        }
    }
    SimRadio radio(memory, options.faults);
    std::unique_ptr<ByteLog> log =
        options.log ? std::make_unique<ByteLog>(*options.log) : std::make_unique<ByteLog>();
    const int stopFd = StopOnSignals();
    Pty pty;
    std::unique_ptr<PtyLink> link;
    if (options.link) {
        link = std::make_unique<PtyLink>(*options.link, pty.path());
    }
    std::cout << pty.path() << std::endl;
    return SimServer(pty, radio, *log, options, stopFd).Run();
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    const std::string why = ParseSimOptions({argv + 1, argv + argc}, options);
    if (!why.empty()) {
        std::cerr << "kvradio-sim: " << why << "\n\n" << SimUsage();
        return kExitUsage;
    }
    if (options.help) {
        std::cout << SimUsage();
        return kExitOk;
    }
    ::signal(SIGPIPE, SIG_IGN);
    try {
        return Serve(options);
    } catch (const std::system_error& error) {
        std::cerr << "kvradio-sim: " << error.what() << "\n";
        return kExitFailure;
    }
}
