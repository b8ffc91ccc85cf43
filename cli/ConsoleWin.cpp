// Standard input on Windows is a console, a pipe or a file, and each is waited for its own
// way: a console by its key events (Enter pressed), a pipe by what it holds, a file read.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "Console.h"
#include "FileIO.h"

namespace {

int CountLineEnds(const char* bytes, DWORD size) {
    return static_cast<int>(std::count(bytes, bytes + size, '\n'));
}

int ReadFromConsole(HANDLE input, int milliseconds) {
    if (::WaitForSingleObject(input, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return 0;
    }
    INPUT_RECORD records[64];
    DWORD count = 0;
    if (!::ReadConsoleInputW(input, records, 64, &count)) {
        return -1;
    }
    int presses = 0;
    for (DWORD i = 0; i < count; ++i) {
        const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
        if (records[i].EventType == KEY_EVENT && key.bKeyDown && key.wVirtualKeyCode == VK_RETURN) {
            presses += std::max<int>(1, key.wRepeatCount);
        }
    }
    return presses;
}

int ReadFromPipe(HANDLE input, int milliseconds) {
    DWORD available = 0;
    if (!::PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr)) {
        return -1;  // the writer has gone
    }
    if (available == 0) {
        ::Sleep(static_cast<DWORD>(milliseconds));
        return 0;
    }
    char buffer[256];
    DWORD got = 0;
    if (!::ReadFile(input, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) {
        return -1;
    }
    return CountLineEnds(buffer, got);
}

}  // namespace

bool ErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int ReadEnterPresses(int milliseconds) {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        return -1;
    }
    DWORD mode = 0;
    if (::GetConsoleMode(input, &mode)) {
        return ReadFromConsole(input, milliseconds);
    }
    if (::GetFileType(input) == FILE_TYPE_PIPE) {
        return ReadFromPipe(input, milliseconds);
    }
    char buffer[256];
    DWORD got = 0;
    if (!::ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) {
        return -1;
    }
    return CountLineEnds(buffer, got);
}

void Pause(int milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

std::vector<std::string> CommandLineWords(int, char**) {
    // The narrow words are in the code page, which loses a name such as "客户.sin": the
    // wide command line has every character.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> words;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        words.push_back(Utf8Of(std::filesystem::path(wide[i])));
    }
    ::LocalFree(wide);
    return words;
}

void UseUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
}

namespace {
bool HasStandardHandle(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
}  // namespace

void UseParentConsole() {
    const bool out = HasStandardHandle(STD_OUTPUT_HANDLE);
    const bool error = HasStandardHandle(STD_ERROR_HANDLE);
    if ((out && error) || !::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;  // sent elsewhere already, or started from no console at all
    }
    if (!out) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!error) {
        std::freopen("CONOUT$", "w", stderr);
    }
    UseUtf8Console();
}
