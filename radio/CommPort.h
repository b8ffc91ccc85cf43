// CCommPort: the serial connection of one exchange with the radio, on a POSIX terminal
// device. The device is opened exclusively (an advisory lock that also holds against root,
// plus the terminal's own exclusive mode), set to 9600 baud, 8-N-1, raw binary, with no
// flow control, and closed by Close or at the latest by the destructor.
//
// Receives follow the time-out profile: they return once n bytes have arrived, once the gap
// after the last byte exceeds the interval, or at the latest after multiplier x n + constant
// milliseconds, and they write only the bytes received. Sends wait until the bytes have left
// the output queue, so a purge that follows a send never drops any of them; a purge
// therefore clears the input queue only (on a pseudo-terminal, flushing the output side
// would also discard what the other end has not read yet).
#pragma once

#include <string>

#include "Port.h"

// Opens device for reading and writing, without waiting for a modem line and without making
// it the controlling terminal, and takes its advisory lock: how every program here takes a
// port. The descriptor, or -1 with errno set (EBUSY when another program holds the lock).
int OpenAndLockDevice(const std::string& device);

class CCommPort final : public IPort {
public:
    CCommPort() = default;
    ~CCommPort() override;
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // name is "COM1" to "COM4" (mapped by DeviceForPort) or a device path. An open port is
    // closed first.
    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override { m_timeouts = timeouts; }
    void Purge(PurgeSet which) override;
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_hComm >= 0; }

private:
    int m_hComm = -1;
    CommTimeouts m_timeouts;
};
