// The serial connection as the radio exchanges see it: open, purge, send, receive, close.
// CCommPort is the real one; tests put a scripted radio behind the same interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "Result.h"

// Receive and send time-outs in milliseconds. A receive of n bytes returns once n bytes have
// arrived, once more than readInterval has passed between two bytes, or at the latest after
// readMultiplier x n + readConstant; a send of n bytes may take writeMultiplier x n +
// writeConstant.
struct CommTimeouts {
    int readInterval = 0;
    int readMultiplier = 0;
    int readConstant = 0;
    int writeMultiplier = 0;
    int writeConstant = 0;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

// Reading and writing the radio's memory.
inline constexpr CommTimeouts kCloneTimeouts{50, 50, 500, 50, 50};
// The alignment exchange of the test mode.
inline constexpr CommTimeouts kTestTimeouts{10, 50, 50, 50, 50};

// What a purge throws away. Clear drops what has been received and not yet read;
// AbortAndClear also ends any transfer in progress. A send always finishes before it
// returns, so neither set ever drops bytes on their way out.
enum class PurgeSet { Clear, AbortAndClear };

struct ReceiveResult {
    bool ok = false;        // false: the line failed (for example the device went away)
    std::size_t count = 0;  // bytes placed at the start of the buffer

    friend bool operator==(const ReceiveResult&, const ReceiveResult&) = default;
};

class IPort {
public:
    virtual ~IPort() = default;

    // Opens the named port exclusively at 9600 baud, 8-N-1, with the given time-outs; a
    // failure says why in the system's words.
    virtual Result<> Open(const std::string& name, const CommTimeouts& timeouts) = 0;
    virtual void SetTimeouts(const CommTimeouts& timeouts) = 0;
    virtual void Purge(PurgeSet which) = 0;
    // Returns once every byte has left; false when the line refused them.
    virtual bool Send(std::span<const std::uint8_t> bytes) = 0;
    // Receives up to buffer.size() bytes into the start of buffer under the time-outs. The
    // bytes beyond those received keep what they held.
    virtual ReceiveResult Receive(std::span<std::uint8_t> buffer) = 0;
    // Closing a closed port does nothing.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

// Makes the port for a name, not yet open: what an exchange that opens its own ports is
// given (MakePort in the programs, a simulated radio in tests).
using PortFactory = std::function<std::unique_ptr<IPort>(const std::string& name)>;
