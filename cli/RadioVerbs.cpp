#include "RadioVerbs.h"

#include <iostream>

#include "Backups.h"
#include "CloneExchange.h"
#include "Console.h"
#include "FileIO.h"
#include "Interrupt.h"
#include "LinkPort.h"
#include "Options.h"
#include "RadioTexts.h"
#include "SinFile.h"
#include "TerminalHooks.h"

namespace {

constexpr OptionSpec kReadOptions[] = {{"--port", Takes::Values}, kRetriesOption};

}  // namespace

bool ReadRadio(const std::string& port, int retries, RadioImage& image) {
    CTerminalHooks hooks(std::cerr, kCaptionReading, retries, ErrorIsTerminal());
    CLinkPort link(port, "read --port " + port);
    const Result<CloneEnd> result = RunClone(link.Port(), hooks, port, CloneDirection::Read, image);
    hooks.Finish();
    if (result.end == CloneEnd::Cancelled) {
        std::cerr << "kvprog-cli: cancelled\n";
    }
    if (!result) {
        return false;
    }
    // A backup that cannot be saved is only reported: the read matters more than its copy.
    if (const BackupSaved saved = SaveBackup(image, BackupKind::Read, {port, {}}); !saved.result) {
        std::cerr << "kvprog-cli: warning: no backup: " << saved.result.message << "\n";
    }
    return true;
}

int RunRead(const Args& args, std::string_view synopsis) {
    const std::string_view names[] = {"OUT.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kReadOptions, .positionals = names}, args, synopsis, words)) {
        return kExitUsage;
    }
    const std::vector<std::string> ports = words.Values("--port");
    if (ports.size() != 1 || ports[0].empty()) {
        return Fail(kExitUsage, UsageText(synopsis));
    }
    const CInterruptGuard interrupt;
    RadioImage image;
    if (!ReadRadio(ports[0], words.Number("--retries", 0), image)) {
        return kExitRadio;
    }
    const Result<> saved = SaveSinFile(PathFromUtf8(words.positionals[0]), image);
    if (!saved) {
        return Fail(kExitUsage, saved.message);
    }
    return kExitOk;
}
