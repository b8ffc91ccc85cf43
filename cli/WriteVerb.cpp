// kvprog-cli write and restore: a safe write (back up, write, check) of a channel data file as
// the form reads it, or of a backup's own bytes.
#include <iostream>

#include "ChannelReport.h"
#include "Console.h"
#include "FileIO.h"
#include "FileToSend.h"
#include "ImageDiff.h"
#include "Interrupt.h"
#include "LinkPort.h"
#include "NewDocument.h"
#include "Options.h"
#include "RadioTexts.h"
#include "RadioVerbs.h"
#include "SafeWrite.h"
#include "SinFile.h"
#include "TerminalHooks.h"

namespace {

constexpr OptionSpec kWriteOptions[] = {
    {"--port", Takes::Values}, kRetriesOption,  {"--verify"},
    {"--no-backup"},           {"--no-verify"}, {"--force-type"}};
constexpr OptionSpec kRestoreOptions[] = {
    {"--port", Takes::Values}, kRetriesOption, {"--no-backup"}, {"--no-verify"}, {"--force-type"}};

// What goes to the radio: the file as the form reads it (write), or its own bytes (restore).
enum class Sends { FormReading, OwnBytes };

// The differences between what was sent and what the radio holds, as `diff` lists them.
bool ListDifferences(const RadioImage& sent, const RadioImage& radio) {
    std::string lines;
    for (const Difference& difference : CompareImages(sent, radio, addr::kWriteEnd)) {
        lines += DifferenceLine(difference) + "\n";
    }
    return WriteStandardOutput(lines);
}

int Report(const Result<SafeWriteEnd>& result, const SafeWriteReport& report,
           const RadioImage& image, const std::string& file) {
    if (!report.backupError.empty()) {
        std::cerr << "kvprog-cli: warning: no backup: " << report.backupError << "\n";
    }
    switch (result.end) {
        case SafeWriteEnd::Done:
            if (report.checked) {
                std::cerr << "kvprog-cli: verify: the radio holds what was written\n";
            }
            return kExitOk;
        case SafeWriteEnd::OtherType:
            if (!result.message.empty()) {
                break;
            }
            return Fail(kExitRadio, "the radio is a " + report.radioType + " but " + file +
                                        " is for a " + RadioTypeText(image) +
                                        ": nothing was written (--force-type writes anyway)");
        case SafeWriteEnd::Mismatch:
            ListDifferences(image, report.readBack);
            break;
        case SafeWriteEnd::Cancelled:
            return Fail(kExitRadio, result.message.empty() ? "cancelled" : result.message);
        default:
            break;
    }
    return result.message.empty() ? kExitRadio : Fail(kExitRadio, result.message);
}

int RunSafeWriteVerb(const Args& args, std::string_view synopsis, Sends sends) {
    const std::string_view names[] = {sends == Sends::OwnBytes ? "BACKUP.sin" : "IN.sin"};
    ParsedWords words;
    const std::span<const OptionSpec> accepted =
        sends == Sends::OwnBytes ? std::span<const OptionSpec>(kRestoreOptions) : kWriteOptions;
    if (!ParseOrShowUsage({.options = accepted, .positionals = names}, args, synopsis, words)) {
        return kExitUsage;
    }
    const std::vector<std::string> ports = words.Values("--port");
    if (ports.size() != 1 || ports[0].empty() ||
        (words.Has("--verify") && words.Has("--no-verify"))) {
        return Fail(kExitUsage, UsageText(synopsis));
    }
    const std::string& port = ports[0];
    const std::string& file = words.positionals[0];
    RadioImage image;
    const Result<> loaded = sends == Sends::OwnBytes ? LoadSinFile(PathFromUtf8(file), image)
                                                     : LoadFileToSend(file, image);
    if (!loaded) {
        return Fail(kExitUsage, loaded.message);
    }

    SafeWriteOptions options;
    options.backup = !words.Has("--no-backup");
    options.verify = !words.Has("--no-verify");
    options.source = file;
    options.checkHint = "compare it with kvprog-cli diff --port " + port + " " + file;
    options.restoreHint = RestoreHint;
    const CInterruptGuard interrupt;
    CTerminalHooks hooks(std::cerr, kCaptionWriting, words.Number("--retries", 0),
                         ErrorIsTerminal());
    hooks.SetForceType(words.Has("--force-type"));
    CLinkPort link(port, (sends == Sends::OwnBytes ? "restore --port " : "write --port ") + port);
    SafeWriteReport report;
    const Result<SafeWriteEnd> result =
        sends == Sends::OwnBytes ? RunRestore(link.Port(), hooks, port, image, options, report)
                                 : RunSafeWrite(link.Port(), hooks, port, image, options, report);
    hooks.Finish();
    return Report(result, report, image, file);
}

}  // namespace

std::string RestoreHint(const std::string& port, const std::string& backupPath) {
    return "with kvprog-cli restore --port " + port + " " + QuotedPath(backupPath);
}

int RunWrite(const Args& args, std::string_view synopsis) {
    return RunSafeWriteVerb(args, synopsis, Sends::FormReading);
}

int RunRestoreVerb(const Args& args, std::string_view synopsis) {
    return RunSafeWriteVerb(args, synopsis, Sends::OwnBytes);
}
