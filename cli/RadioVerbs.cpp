#include "RadioVerbs.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <span>

#include "Backups.h"
#include "ChannelCodec.h"
#include "ChannelReport.h"
#include "CloneExchange.h"
#include "Interrupt.h"
#include "LinkPort.h"
#include "Options.h"
#include "RadioTexts.h"
#include "SinFile.h"
#include "TerminalHooks.h"

namespace {

constexpr OptionSpec kReadOptions[] = {{"--port", Takes::Values}, kRetriesOption};
constexpr OptionSpec kWriteOptions[] = {{"--port", Takes::Values}, kRetriesOption, {"--verify"}};

struct RadioOptions {
    std::string port;
    std::string file;
    int retries = 0;
    bool verify = false;
};

// The words of a read or write naming their one port and file; nullopt once the usage is shown.
std::optional<RadioOptions> ParseOptions(const Args& args, std::span<const OptionSpec> options,
                                         std::string_view file, std::string_view synopsis) {
    const std::string_view names[] = {file};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = options, .positionals = names}, args, synopsis, words)) {
        return std::nullopt;
    }
    const std::vector<std::string> ports = words.Values("--port");
    if (ports.size() != 1 || ports[0].empty()) {
        Fail(kExitUsage, UsageText(synopsis));
        return std::nullopt;
    }
    return RadioOptions{ports[0], words.positionals[0], words.Number("--retries", 0),
                        words.Has("--verify")};
}

// A backup that cannot be saved is only reported: the transfer matters more than its copy.
void Backup(const RadioImage& image, BackupKind kind) {
    if (const BackupSaved saved = SaveBackup(image, kind); !saved.result) {
        std::cerr << "kvprog-cli: warning: no backup: " << saved.result.message << "\n";
    }
}

// One clone run over a fresh port, reported on the error stream. What is about to be written
// and what was read completely are kept as backups.
Result<CloneEnd> Transfer(const RadioOptions& options, CloneDirection direction, RadioImage& image,
                          int* blocksDone = nullptr) {
    const bool reading = direction == CloneDirection::Read;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    CTerminalHooks hooks(std::cerr, reading ? kCaptionReading : kCaptionWriting, options.retries,
                         terminal);
    CLinkPort link(std::string(reading ? "read" : "write") + " --port " + options.port);
    Result<CloneEnd> result = RunClone(link.Port(), hooks, options.port, direction, image);
    hooks.Finish();
    if (blocksDone) {
        *blocksDone = hooks.BlocksDone();
    }
    if (result.end == CloneEnd::Cancelled) {
        std::cerr << "kvprog-cli: cancelled\n";
    }
    if (reading && result.ok()) {
        Backup(image, BackupKind::Read);
    }
    if (!reading && result.end != CloneEnd::OpenFailed) {
        Backup(image, BackupKind::Sent);  // a write leaves image as it was sent
    }
    return result;
}

// Lists each byte the radio holds differently from what was written; true when none.
bool CompareWritten(const RadioImage& written, const RadioImage& readBack) {
    int differences = 0;
    for (std::size_t a = 0; a < addr::kWriteEnd; ++a) {
        if (written[a] != readBack[a]) {
            char line[64];
            std::snprintf(line, sizeof line, "0x%03zX: expected 0x%02X, got 0x%02X\n", a,
                          static_cast<unsigned>(written[a]), static_cast<unsigned>(readBack[a]));
            std::cout << line;
            ++differences;
        }
    }
    std::cout << std::flush;
    if (differences > 0) {
        std::cerr << "kvprog-cli: verify: " << differences
                  << " byte(s) differ from what was written\n";
    } else {
        std::cerr << "kvprog-cli: verify: the radio holds what was written\n";
    }
    return differences == 0;
}

}  // namespace

int RunRead(const Args& args, std::string_view synopsis) {
    const auto options = ParseOptions(args, kReadOptions, "OUT.sin", synopsis);
    if (!options) {
        return kExitUsage;
    }
    const CInterruptGuard interrupt;
    RadioImage image;
    if (!ReadRadio(options->port, options->retries, image)) {
        return kExitRadio;
    }
    const Result<> saved = SaveSinFile(options->file, image);
    if (!saved) {
        return Fail(kExitUsage, saved.message);
    }
    return kExitOk;
}

bool ReadRadio(const std::string& port, int retries, RadioImage& image) {
    RadioOptions options;
    options.port = port;
    options.retries = retries;
    return Transfer(options, CloneDirection::Read, image).ok();
}

int RunWrite(const Args& args, std::string_view synopsis) {
    const auto options = ParseOptions(args, kWriteOptions, "IN.sin", synopsis);
    if (!options) {
        return kExitUsage;
    }
    RadioImage image;
    if (const Result<> loaded = LoadSinFile(options->file, image); !loaded) {
        return Fail(kExitUsage, loaded.message);
    }
    // What the desktop program sends after opening the file: the form's reading of it.
    EncodeImage(DecodeForDisplay(image), image);
    const CInterruptGuard interrupt;
    int blocks = 0;
    const Result<CloneEnd> written = Transfer(*options, CloneDirection::Write, image, &blocks);
    if (written.end == CloneEnd::Cancelled && blocks > 0) {
        return Fail(kExitRadio, StoppedWriteText(blocks, kWriteBlocks, options->file, ""));
    }
    if (!written) {
        return kExitRadio;
    }
    if (!options->verify) {
        return kExitOk;
    }
    RadioImage readBack;
    if (!Transfer(*options, CloneDirection::Read, readBack).ok()) {
        return kExitRadio;
    }
    return CompareWritten(image, readBack) ? kExitOk : kExitRadio;
}
