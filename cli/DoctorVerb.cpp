#include "DoctorVerb.h"

#include "ChannelReport.h"
#include "Doctor.h"
#include "MakePort.h"
#include "Options.h"

namespace {

constexpr OptionSpec kDoctorOptions[] = {{"--json"}, {"--port", Takes::Value}};

std::string JsonPort(const DoctorPort& port) {
    const SerialPortFacts& facts = port.facts;
    std::string json = "{\"device\": " + JsonString(facts.device);
    for (const auto& [key, value] : {std::pair{"description", facts.description},
                                     {"manufacturer", facts.manufacturer},
                                     {"usb_id", facts.usbId},
                                     {"serial", facts.serial},
                                     {"driver", facts.driver},
                                     {"by_id", facts.byId},
                                     {"com", port.comName},
                                     {"com_source", port.comSource}}) {
        json += std::string(", \"") + key + "\": " + (value.empty() ? "null" : JsonString(value));
    }
    return json + "}";
}

std::string DoctorJson(const DoctorReport& report) {
    std::string json = "{\"ports\": [";
    for (std::size_t i = 0; i < report.ports.size(); ++i) {
        json += (i ? ", " : "") + JsonPort(report.ports[i]);
    }
    json += "], \"port\": {\"name\": " + JsonString(report.port) +
            ", \"device\": " + JsonString(report.device) + "}, \"checks\": [";
    for (std::size_t i = 0; i < report.checks.size(); ++i) {
        const DoctorCheck& check = report.checks[i];
        json += std::string(i ? ", " : "") + "{\"name\": " + JsonString(check.name) +
                ", \"ok\": " + (check.ok ? "true" : "false") +
                ", \"detail\": " + JsonString(check.detail) +
                ", \"fix\": " + (check.fix.empty() ? "null" : JsonString(check.fix)) + "}";
    }
    json += "], \"radio\": ";
    json += report.identification
                ? "{\"identification\": " + JsonString(*report.identification) + "}"
                : std::string("null");
    return json + "}\n";
}

}  // namespace

int RunDoctorVerb(const Args& args, std::string_view synopsis) {
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kDoctorOptions}, args, synopsis, words)) {
        return kExitUsage;
    }
    const std::string port = words.Has("--port") ? words.Last("--port") : "COM1";
    if (port.empty()) {
        return Fail(kExitUsage, UsageText(synopsis));
    }
    const std::unique_ptr<IPort> probe = MakePort(port);
    const DoctorReport report = RunDoctor(port, *probe);
    if (!WriteStandardOutput(words.Has("--json") ? DoctorJson(report) : DoctorText(report))) {
        return kExitUsage;
    }
    return report.identification ? kExitOk : kExitRadio;
}
