#include "DiffVerb.h"

#include <vector>

#include <QJsonArray>
#include <QJsonObject>

#include "FileVerbs.h"
#include "ImageDiff.h"
#include "Interrupt.h"
#include "Options.h"
#include "RadioVerbs.h"
#include "Verb.h"

namespace {

// As diff(1): 0 the same, 1 they differ, 2 trouble (bad usage, an unreadable file, the radio).
constexpr int kExitSame = 0;
constexpr int kExitDiffer = 1;

std::string_view KindName(DiffKind kind) {
    switch (kind) {
        case DiffKind::Setting:
            return "setting";
        case DiffKind::Channel:
            return "channel";
        case DiffKind::Feature:
            return "feature";
        case DiffKind::Bytes:
            return "bytes";
    }
    return "bytes";
}

std::string DiffText(const std::vector<Difference>& differences) {
    std::string out;
    for (const Difference& difference : differences) {
        out += DifferenceLine(difference) + "\n";
    }
    return out;
}

QJsonObject DiffJson(const std::vector<Difference>& differences) {
    QJsonArray list;
    for (const Difference& d : differences) {
        QJsonObject entry{{"kind", QString::fromUtf8(KindName(d.kind))},
                          {"field", QString::fromStdString(d.field)},
                          {"a", QString::fromStdString(d.a)},
                          {"b", QString::fromStdString(d.b)}};
        if (d.kind == DiffKind::Channel) {
            entry.insert("channel", d.channel);
        }
        list.append(entry);
    }
    return {{"same", differences.empty()}, {"differences", list}};
}

}  // namespace

int RunDiff(const Args& args, std::string_view synopsis) {
    static constexpr OptionSpec kOptions[] = {
        {"--json"}, {"--port", Takes::Values}, kRetriesOption};
    static constexpr std::string_view kNames[] = {"A.sin", "B.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kOptions,
                           .positionals = kNames,
                           .optionalPositionals = 1,
                           .namesAsGiven = true},
                          args, synopsis, words)) {
        return kExitUsage;
    }
    // Either two files, or one file and the radio on one port; --retries only for the radio.
    const std::vector<std::string> ports = words.Values("--port");
    const bool twoFiles = words.positionals.size() == 2 && ports.empty() && !words.Has("--retries");
    const bool withRadio = words.positionals.size() == 1 && ports.size() == 1 && !ports[0].empty();
    if (!twoFiles && !withRadio) {
        return Fail(kExitUsage, UsageText(synopsis));
    }
    RadioImage a;
    RadioImage b;
    if (!LoadOrReport(words.positionals[0], a)) {
        return kExitUsage;
    }
    if (twoFiles) {
        if (!LoadOrReport(words.positionals[1], b)) {
            return kExitUsage;
        }
    } else {
        const CInterruptGuard interrupt;
        if (!ReadRadio(ports[0], words.Number("--retries", 0), b)) {
            return kExitUsage;
        }
    }
    const std::vector<Difference> differences = CompareImages(a, b);
    if (!WriteStandardOutput(words.Has("--json") ? JsonOutput(DiffJson(differences))
                                                 : DiffText(differences))) {
        return kExitUsage;
    }
    return differences.empty() ? kExitSame : kExitDiffer;
}
