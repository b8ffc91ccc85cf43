// The serial port on Windows: a COM port opened without sharing, so it is this program's
// alone while open, read and written synchronously under the port's own time-outs, which
// are the exchange's time-out profile as it stands.
#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>

#include <string>
#include <system_error>

#include "CommPort.h"
#include "PortNames.h"
#include "PortSystem.h"

namespace {

HANDLE Handle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::wstring Widened(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
    return wide;
}

// "COM12" and "\\.\COM12" both open COM12: the device namespace also reaches the ports
// above COM9, which the plain name does not.
std::wstring DevicePath(const std::string& device) {
    const std::wstring wide = Widened(device);
    return wide.rfind(L"\\\\.\\", 0) == 0 ? wide : L"\\\\.\\" + wide;
}

HANDLE OpenExclusive(const std::string& device) {
    return ::CreateFileW(DevicePath(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

Result<> Refused(const std::string& device, DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return Failure(device + ": another program is using the port (close it and try again)");
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Failure(device +
                           ": no such port (is the cable plugged in? Check Connection lists "
                           "the ports present)");
        default:
            return Failure(device + ": the port cannot be opened (system error " +
                           std::to_string(error) + ")");
    }
}

// 9600 baud, 8 data bits, no parity, one stop bit, every byte passed through untouched, no
// flow control, DTR and RTS raised as an open raises them elsewhere. A setting the driver
// refuses keeps the driver's value: the exchange goes ahead regardless.
void ConfigureLine(HANDLE port) {
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(port, &line)) {
        return;
    }
    line.BaudRate = CBR_9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    ::SetCommState(port, &line);
}

void ApplyTimeouts(HANDLE port, const CommTimeouts& t) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = static_cast<DWORD>(t.readInterval);
    timeouts.ReadTotalTimeoutMultiplier = static_cast<DWORD>(t.readMultiplier);
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(t.readConstant);
    timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>(t.writeMultiplier);
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(t.writeConstant);
    ::SetCommTimeouts(port, &timeouts);
}

}  // namespace

std::string DefaultDevice(int comNumber) {
    return "COM" + std::to_string(comNumber);
}

// A port is known by its name, whichever way it is written ("com3", "\\.\COM3").
std::string DeviceNode(const std::string& device) {
    std::string name = device.rfind("\\\\.\\", 0) == 0 ? device.substr(4) : device;
    for (char& c : name) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return name.rfind("COM", 0) == 0 ? "port " + name : std::string();
}

Result<PortTake> TryTakePort(const std::string& device) {
    const HANDLE port = OpenExclusive(device);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        return {held ? PortTake::Held : PortTake::Failed,
                std::system_category().message(static_cast<int>(error))};
    }
    const bool serial = ::GetFileType(port) == FILE_TYPE_CHAR;
    ::CloseHandle(port);
    if (!serial) {
        return {PortTake::NotSerial, "not a character device"};
    }
    return {};
}

CCommPort::~CCommPort() {
    Close();
}

Result<> CCommPort::Open(const std::string& name, const CommTimeouts& timeouts) {
    Close();
    const std::string device = DeviceForPort(name);
    const HANDLE port = OpenExclusive(device);
    if (port == INVALID_HANDLE_VALUE) {
        return Refused(device, ::GetLastError());
    }
    if (::GetFileType(port) != FILE_TYPE_CHAR) {
        ::CloseHandle(port);
        return Failure(device + ": not a serial port");
    }
    ConfigureLine(port);
    ApplyTimeouts(port, timeouts);
    m_hComm = reinterpret_cast<std::intptr_t>(port);
    // The system's timer ticks every 15.6 ms unless a program asks for more: the exchange's
    // 1 and 10 ms pauses and 50 ms gaps need 1 ms while the port is open.
    ::timeBeginPeriod(1);
    m_timeouts = timeouts;
    return {};
}

void CCommPort::SetTimeouts(const CommTimeouts& timeouts) {
    m_timeouts = timeouts;
    if (IsOpen()) {
        ApplyTimeouts(Handle(m_hComm), timeouts);
    }
}

// The input side only, as elsewhere: a send has already left when it returns.
void CCommPort::Purge(PurgeSet which) {
    if (IsOpen()) {
        ::PurgeComm(Handle(m_hComm),
                    PURGE_RXCLEAR | (which == PurgeSet::AbortAndClear ? PURGE_RXABORT : 0));
    }
}

bool CCommPort::Send(std::span<const std::uint8_t> bytes) {
    if (!IsOpen()) {
        return false;
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        DWORD wrote = 0;
        if (!::WriteFile(Handle(m_hComm), bytes.data() + sent,
                         static_cast<DWORD>(bytes.size() - sent), &wrote, nullptr) ||
            wrote == 0) {
            return false;
        }
        sent += wrote;
    }
    // Returns once the bytes have left the output queue.
    ::FlushFileBuffers(Handle(m_hComm));
    return true;
}

ReceiveResult CCommPort::Receive(std::span<std::uint8_t> buffer) {
    if (!IsOpen()) {
        return {false, 0};
    }
    // One read under the port's time-outs ends as the profile says: all bytes, the gap after
    // a byte, or the total time.
    DWORD got = 0;
    if (!::ReadFile(Handle(m_hComm), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                    nullptr)) {
        return {false, got};
    }
    return {true, got};
}

void CCommPort::Close() {
    if (!IsOpen()) {
        return;
    }
    ::CloseHandle(Handle(m_hComm));
    m_hComm = kNoPort;
    ::timeEndPeriod(1);
}

void PauseLine(int milliseconds) {
    // Not std::this_thread::sleep_for: the threads library's sleep overshoots each pause by
    // a millisecond or more, where Sleep keeps to the timer's resolution, which an open port
    // holds at 1 ms.
    if (milliseconds > 0) {
        ::Sleep(static_cast<DWORD>(milliseconds));
    }
}
