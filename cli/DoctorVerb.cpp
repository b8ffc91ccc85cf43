#include "DoctorVerb.h"

#include <QJsonArray>
#include <QJsonObject>

#include "Doctor.h"
#include "MakePort.h"
#include "Options.h"
#include "Verb.h"

namespace {

constexpr OptionSpec kDoctorOptions[] = {{"--json"}, {"--port", Takes::Value}};

// A text, or null when empty.
QJsonValue TextOrNull(const std::string& text) {
    return text.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(text));
}

QJsonObject JsonPort(const DoctorPort& port) {
    const SerialPortFacts& facts = port.facts;
    QJsonObject json{{"device", QString::fromStdString(facts.device)}};
    for (const auto& [key, value] : {std::pair{"description", facts.description},
                                     {"manufacturer", facts.manufacturer},
                                     {"usb_id", facts.usbId},
                                     {"serial", facts.serial},
                                     {"driver", facts.driver},
                                     {"by_id", facts.byId},
                                     {"com", port.comName},
                                     {"com_source", port.comSource}}) {
        json.insert(QLatin1String(key), TextOrNull(value));
    }
    return json;
}

QJsonObject DoctorJson(const DoctorReport& report) {
    QJsonArray ports;
    for (const DoctorPort& port : report.ports) {
        ports.append(JsonPort(port));
    }
    QJsonArray checks;
    for (const DoctorCheck& check : report.checks) {
        checks.append(QJsonObject{{"name", QString::fromStdString(check.name)},
                                  {"ok", check.ok},
                                  {"detail", QString::fromStdString(check.detail)},
                                  {"fix", TextOrNull(check.fix)}});
    }
    return {{"ports", ports},
            {"port", QJsonObject{{"name", QString::fromStdString(report.port)},
                                 {"device", QString::fromStdString(report.device)}}},
            {"checks", checks},
            {"radio", report.identification
                          ? QJsonValue(QJsonObject{
                                {"identification", QString::fromStdString(*report.identification)}})
                          : QJsonValue()}};
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
    if (!WriteStandardOutput(words.Has("--json") ? JsonOutput(DoctorJson(report))
                                                 : DoctorText(report))) {
        return kExitUsage;
    }
    return report.identification ? kExitOk : kExitRadio;
}
