// The simulated radio's model behind the port interface, in the test's own process: every
// byte the program sends goes to the radio at the trace's virtual time, and what the radio
// answers arrives for the program's next receive. Another radio can be connected between
// two sessions, as a technician connects the next one; the test keeps each radio to look at.
#pragma once

#include <memory>

#include "ScriptedPort.h"
#include "SimRadio.h"

class CSimPort final : public CScriptedPort {
public:
    explicit CSimPort(std::shared_ptr<SimRadio> radio);

    // Only while no session runs.
    void Connect(std::shared_ptr<SimRadio> radio) { m_radio = std::move(radio); }

private:
    void Hear(std::span<const std::uint8_t> bytes) override;

    Trace m_trace;
    std::shared_ptr<SimRadio> m_radio;
};
