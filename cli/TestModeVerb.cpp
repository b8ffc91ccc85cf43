#include "TestModeVerb.h"

#include <iostream>
#include <optional>
#include <string_view>

#include "CellRules.h"
#include "LinkPort.h"
#include "Numbers.h"
#include "Options.h"
#include "QuotedValue.h"
#include "TerminalHooks.h"
#include "TestFrequency.h"
#include "TestModeBlocks.h"
#include "TestModeExchange.h"
#include "ToneList.h"

namespace {

constexpr int kMaxValue = 255;
// --retries is checked here, not by the parser, to say what it takes in this verb's words.
constexpr OptionSpec kOptions[] = {
    {"--port", Takes::Value},    {"--item", Takes::Value},    {"--value", Takes::Value},
    {"--rx", Takes::Value},      {"--tx", Takes::Value},      {"--rx-tone", Takes::Value},
    {"--tx-tone", Takes::Value}, {"--rx-step", Takes::Value}, {"--tx-step", Takes::Value},
    {"--retries", Takes::Value},
};

struct TestModeOptions {
    std::string port;
    std::optional<TestItem> item;
    std::optional<int> value;
    double rxMhz = 0.0;  // 0 is below the band: the band's bottom edge, as in the dialog
    double txMhz = 0.0;
    std::string rxTone = "OFF";
    std::string txTone = "OFF";
    int rxStep = kTestStep500;
    int txStep = kTestStep500;
    int retries = 0;
};

std::optional<int> Step(std::string_view text) {
    if (text == "5" || text == "5.00") {
        return kTestStep500;
    }
    if (text == "6.25") {
        return kTestStep625;
    }
    return std::nullopt;
}

// The list's own spelling of a tone typed in any case.
std::optional<std::string> ListTone(const ToneList& tones, std::string_view text) {
    const int index = tones.FindIgnoringCase(text);
    if (index < 0) {
        return std::nullopt;
    }
    return tones[static_cast<std::size_t>(index)];
}

// Fills options from args; returns why they are refused, or "" when they are fine.
std::string Parse(const Args& args, TestModeOptions& options) {
    ParsedWords words;
    if (const Result<Refusal> parsed = ParseWords({.options = kOptions}, args, words); !parsed) {
        return parsed.message;
    }
    ToneList tones;
    tones.Build();
    for (const auto& [name, values] : words.options) {
        const std::string& text = values.back();
        const std::string bad = "bad " + name + " " + QuotedValue(text);
        if (name == "--port") {
            if (text.empty()) {
                return "unknown argument \"--port\"";  // an empty device names no port
            }
            options.port = text;
        } else if (name == "--item") {
            if (!(options.item = TestItemFromLabel(text))) {
                return bad + ": one of \"TX Frequency\", \"Low Power Voltage\", " +
                       "\"Squelch Level\", \"TX Power\"";
            }
        } else if (name == "--value") {
            if (!(options.value = WholeNumber(text, 0, kMaxValue))) {
                return bad + ": a whole number from 0 to 255";
            }
        } else if (name == "--rx" || name == "--tx") {
            const auto mhz = PlainDecimal(text);
            if (!mhz) {
                return bad + ": a frequency in MHz such as 462.5625";
            }
            (name == "--rx" ? options.rxMhz : options.txMhz) = *mhz;
        } else if (name == "--rx-tone" || name == "--tx-tone") {
            const auto tone = ListTone(tones, text);
            if (!tone) {
                return bad + ": an entry of the tone list (OFF, 67.0 ... 254.1, D023N ... D754I)";
            }
            (name == "--rx-tone" ? options.rxTone : options.txTone) = *tone;
        } else if (name == "--rx-step" || name == "--tx-step") {
            const auto step = Step(text);
            if (!step) {
                return bad + ": 5 or 6.25 (kHz)";
            }
            (name == "--rx-step" ? options.rxStep : options.txStep) = *step;
        } else if (name == "--retries") {
            const auto retries = WholeNumber(text, kRetriesOption.low, kRetriesOption.high);
            if (!retries) {
                return bad + ": a count from 0 to " + std::to_string(kMaxRetries);
            }
            options.retries = *retries;
        }
    }
    if (options.port.empty() || !options.item || !options.value) {
        return "--port, --item and --value are required";
    }
    return {};
}

}  // namespace

int RunTestModeVerb(const Args& args, std::string_view synopsis) {
    TestModeOptions options;
    if (const std::string why = Parse(args, options); !why.empty()) {
        return Fail(kExitUsage, why + "\n" + UsageText(synopsis));
    }
    // The values the dialog would send after Enter in its frequency edits.
    const BandLimits band = BandForField(0);
    TestModeRequest request;
    request.item = *options.item;
    request.rxUnits = NormaliseTestFrequency(options.rxMhz, band, options.rxStep);
    request.txUnits = NormaliseTestFrequency(options.txMhz, band, options.txStep);
    request.rxTone = options.rxTone;
    request.txTone = options.txTone;
    request.value = *options.value;

    const std::string caption =
        "Test mode: " + std::string(TestItemLabel(request.item)) + " " +
        std::to_string(request.value) + ", receive " + FormatMhz(request.rxUnits) + " MHz " +
        request.rxTone + ", transmit " + FormatMhz(request.txUnits) + " MHz " + request.txTone;
    CTerminalHooks hooks(std::cerr, caption, options.retries, false);
    CLinkPort link(options.port, "testmode --port " + options.port);
    const Result<TestModeEnd> result = RunTestMode(link.Port(), hooks, options.port, request);
    hooks.Finish();
    return result.end == TestModeEnd::Finished ? kExitOk : kExitRadio;
}
