#include "HashVerb.h"

#include <filesystem>

#include "FileIO.h"
#include "FileVerbs.h"
#include "Interrupt.h"
#include "JobLog.h"
#include "Options.h"
#include "RadioVerbs.h"

namespace {

// The log's rows with hash, one a line: "jobs.csv row 12: 2026-12-07T14:03:05+01:00  COM1
// ID 0101  ok".
std::string MatchingRows(const std::filesystem::path& log, const CsvTable& table,
                         const std::string& hash) {
    std::string lines;
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        const CsvRecord& row = table.records[i];
        if (row.size() != logcolumn::kCount || row[logcolumn::kImageSha256] != hash) {
            continue;
        }
        lines += Utf8Of(log.filename()) + " row " + std::to_string(i + 1) + ": " +
                 row[logcolumn::kTime] + "  " + row[logcolumn::kPort];
        if (!row[logcolumn::kPttId].empty()) {
            lines += "  ID " + row[logcolumn::kPttId];
        }
        lines += "  " + row[logcolumn::kResult] + "\n";
    }
    return lines;
}

}  // namespace

int RunHash(const Args& args, std::string_view synopsis) {
    static constexpr OptionSpec kOptions[] = {
        {"--port", Takes::Values}, kRetriesOption, {"--log", Takes::Value}};
    static constexpr std::string_view kNames[] = {"FILE.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kOptions, .positionals = kNames, .optionalPositionals = 1},
                          args, synopsis, words)) {
        return kExitUsage;
    }
    // A file, or the radio on one port.
    const std::vector<std::string> ports = words.Values("--port");
    const bool fromFile = words.positionals.size() == 1 && ports.empty() && !words.Has("--retries");
    const bool fromRadio = words.positionals.empty() && ports.size() == 1 && !ports[0].empty();
    if (!fromFile && !fromRadio) {
        return Fail(kExitUsage, UsageText(synopsis));
    }
    CsvTable table;
    const std::filesystem::path log = PathFromUtf8(words.Last("--log"));
    if (words.Has("--log")) {
        if (const Result<> read = CJobLog::ReadRows(log, table); !read) {
            return Fail(kExitUsage, read.message);
        }
    }
    RadioImage image;
    if (fromFile && !LoadOrReport(words.positionals[0], image)) {
        return kExitUsage;
    }
    if (fromRadio) {
        const CInterruptGuard interrupt;
        if (!ReadRadio(ports[0], words.Number("--retries", 0), image)) {
            return kExitRadio;
        }
    }
    const std::string hash = WrittenSha256(image);
    const std::string rows = words.Has("--log") ? MatchingRows(log, table, hash) : std::string();
    if (!WriteStandardOutput(hash + "  " + (fromFile ? words.positionals[0] : ports[0]) + "\n" +
                             rows)) {
        return kExitUsage;
    }
    if (words.Has("--log") && rows.empty()) {
        return Fail(kExitRadio, "no row of " + Utf8Of(log) + " has this SHA-256");
    }
    return kExitOk;
}
