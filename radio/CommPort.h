// CCommPort: the serial connection of one exchange with the radio. The port is opened
// exclusively (on Linux an advisory lock that also holds against root plus the terminal's
// own exclusive mode; a Windows COM port is one program's at a time by itself), set to 9600
// baud, 8-N-1, raw binary, with no flow control, and closed by Close or at the latest by the
// destructor. CommPortPosix.cpp and CommPortWin.cpp are the two systems' halves.
//
// Receives follow the time-out profile: they return once n bytes have arrived, once the gap
// after the last byte exceeds the interval, or at the latest after multiplier x n + constant
// milliseconds, and they write only the bytes received. Sends wait until the bytes have left
// the output queue, so a purge that follows a send never drops any of them; a purge
// therefore clears the input queue only (on a pseudo-terminal, flushing the output side
// would also discard what the other end has not read yet).
#pragma once

#include <cstdint>
#include <string>

#include "Port.h"

// What taking device meets now: it is opened and taken the way every exchange takes a port,
// then let go at once. Having it open is not holding it where the system allows that.
enum class PortTake {
    Taken,      // free: an exchange could have it
    Held,       // another program holds it (on Windows also when this user may not open it:
                // the system answers both alike)
    NotSerial,  // it opens, but is no serial port
    Denied,     // this user may not open it
    Failed,     // it cannot be opened for another reason
};

// The message is the system's reason when the port was not taken.
Result<PortTake> TryTakePort(const std::string& device);

class CCommPort final : public IPort {
public:
    CCommPort() = default;
    ~CCommPort() override;
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // name is "COM1" to "COM4" (mapped by DeviceForPort) or a device path. An open port is
    // closed first.
    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void Purge(PurgeSet which) override;
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_hComm != kNoPort; }

private:
    // The system's handle of the open port (a descriptor, or a Windows handle).
    static constexpr std::intptr_t kNoPort = -1;
    std::intptr_t m_hComm = kNoPort;
    CommTimeouts m_timeouts;
};
