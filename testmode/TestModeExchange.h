// The test mode exchange: gives a connected radio one debug item's frequencies, tones and
// alignment value. It runs synchronously and pumps no events; the only way out of a failing
// radio is Cancel in the error box. It never touches the memory image.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ExchangeHooks.h"
#include "Port.h"
#include "Result.h"

// The exchange's boxes, byte for byte (note the leading blank and the blank before the comma
// of the error box).
inline constexpr std::string_view kMsgTestFinished = "Finish successfully!";
inline constexpr std::string_view kMsgTestError = " Error had happen ,need try again";

// The debug items, numbered as the dialog numbers them.
enum class TestItem {
    TxFrequency = 2,      // command letter 'q'
    LowPowerVoltage = 3,  // 'r'
    SquelchLevel = 4,     // 's'
    TxPower = 5,          // 't'
};

struct TestModeRequest {
    TestItem item = TestItem::TxFrequency;
    std::uint32_t rxUnits = 0;   // receive frequency, 10 Hz units, already normalised
    std::uint32_t txUnits = 0;   // transmit frequency
    std::string rxTone = "OFF";  // the selected list entries; a DCS entry or "OFF" sends 0
    std::string txTone = "OFF";
    int value = 0;  // the item's alignment value, 0 to 255 (its low 8 bits are sent)
};

enum class TestModeEnd {
    Finished,    // three H answers: "Finish successfully!" was shown
    OpenFailed,  // the port could not be opened; nothing was sent
    Cancelled,   // the user answered Cancel in the error box
};

// One press of Start: opens portName with the test time-outs, runs attempts until the radio
// answers everything or the user cancels, and closes the port on every way out. The
// result's message is the last box's text.
Result<TestModeEnd> RunTestMode(IPort& port, IExchangeHooks& hooks, const std::string& portName,
                                const TestModeRequest& request);
