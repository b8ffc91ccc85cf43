#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Console.h"

bool ErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

int ReadEnterPresses(int milliseconds) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, milliseconds) <= 0) {
        return 0;
    }
    char buffer[256];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0) {
        return errno == EINTR || errno == EAGAIN ? 0 : -1;
    }
    if (got == 0) {
        return -1;
    }
    return static_cast<int>(std::count(buffer, buffer + got, '\n'));
}

void Pause(int milliseconds) {
    ::poll(nullptr, 0, milliseconds);
}

std::vector<std::string> CommandLineWords(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

void UseUtf8Console() {
    // The terminal takes the bytes as its locale says; the program's texts are UTF-8 already.
}

void UseParentConsole() {
    // Every program keeps the terminal it was started from.
}
