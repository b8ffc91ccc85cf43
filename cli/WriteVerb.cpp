// kvprog-cli write: a safe write (back up, write, check) of a channel data file.
#include <unistd.h>

#include <iostream>

#include "ChannelCodec.h"
#include "ChannelReport.h"
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
    {"--port", Takes::Values}, kRetriesOption, {"--verify"}, {"--no-backup"}, {"--no-verify"},
    {"--force-type"}};

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
            return Fail(kExitRadio, "the radio is a " + RadioTypeText(report.before) + " but " +
                                        file + " is for a " + RadioTypeText(image) +
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

}  // namespace

int RunWrite(const Args& args, std::string_view synopsis) {
    const std::string_view names[] = {"IN.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kWriteOptions, .positionals = names}, args, synopsis,
                          words)) {
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
    if (const Result<> loaded = LoadSinFile(file, image); !loaded) {
        return Fail(kExitUsage, loaded.message);
    }
    // What the desktop program sends after opening the file: the form's reading of it.
    EncodeImage(DecodeForDisplay(image), image);

    SafeWriteOptions options;
    options.backup = !words.Has("--no-backup");
    options.verify = !words.Has("--no-verify");
    options.source = file;
    options.checkHint = "compare it with kvprog-cli diff --port " + port + " " + file;
    const CInterruptGuard interrupt;
    CTerminalHooks hooks(std::cerr, kCaptionWriting, words.Number("--retries", 0),
                         ::isatty(STDERR_FILENO) != 0);
    hooks.SetForceType(words.Has("--force-type"));
    CLinkPort link("write --port " + port);
    SafeWriteReport report;
    const Result<SafeWriteEnd> result = RunSafeWrite(link.Port(), hooks, port, image, options, report);
    hooks.Finish();
    return Report(result, report, image, file);
}
