// The PC's side of the clone exchange, played against the radio model on a virtual clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "CloneBytes.h"
#include "RadioImage.h"
#include "SimRadio.h"

namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Bytes that differ from their neighbours', so a misplaced byte shows.
inline RadioImage Pattern(int seed) {
    RadioImage image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] =
            static_cast<std::uint8_t>((i * 7 + i / 256 + static_cast<std::size_t>(seed)) & 0xFF);
    }
    return image;
}

inline Bytes Handshake() {
    return {proto::kHandshake.begin(), proto::kHandshake.end()};
}

// The radio's answer to a whole handshake: an ACK after "PROGRA" and one after the 'M'.
inline const Bytes kHandshakeAcks = {proto::kAck, proto::kAck};

inline Bytes ReadCommand(std::size_t address, std::uint8_t length = 8) {
    return {'R', static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF),
            length};
}

inline Bytes WriteCommand(std::size_t address, const RadioImage& from) {
    Bytes bytes = {'W', static_cast<std::uint8_t>(address >> 8),
                   static_cast<std::uint8_t>(address & 0xFF), 8};
    for (std::size_t i = 0; i < 8; ++i) {
        bytes.push_back(from[(address + i) % from.size()]);
    }
    return bytes;
}

// The memory bytes at address, as a read reply carries them in places 4 to 11.
inline Bytes MemoryAt(const RadioImage& image, std::size_t address, std::size_t n = 8) {
    return {image.data() + address, image.data() + address + n};
}

class Pc {
public:
    explicit Pc(SimRadio& radio) : m_radio(radio) {}

    // Sends the bytes 1 ms apart and returns everything the radio answered to them.
    Bytes Send(const Bytes& bytes) {
        Bytes answer;
        for (const std::uint8_t byte : bytes) {
            const Bytes part = m_radio.Receive(byte, m_now);
            answer.insert(answer.end(), part.begin(), part.end());
            m_now += 1ms;
        }
        return answer;
    }
    Bytes Send(std::uint8_t byte) { return Send(Bytes{byte}); }

    void Wait(SimRadio::Time time) { m_now += time; }
    SimRadio::Time Now() const { return m_now; }

private:
    SimRadio& m_radio;
    SimRadio::Time m_now = 10s;
};

}  // namespace simtest
