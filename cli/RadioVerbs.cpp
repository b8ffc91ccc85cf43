#include "RadioVerbs.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

#include "Backups.h"
#include "ChannelCodec.h"
#include "ChannelReport.h"
#include "CloneExchange.h"
#include "Interrupt.h"
#include "LinkPort.h"
#include "RadioTexts.h"
#include "SinFile.h"
#include "TerminalHooks.h"

namespace {

constexpr char kReadSynopsis[] = "read --port DEV [--retries N] OUT.sin";
constexpr char kWriteSynopsis[] = "write --port DEV [--retries N] [--verify] IN.sin";
constexpr int kMaxRetries = 1000;

struct RadioOptions {
    std::string port;
    std::string file;
    int retries = 0;
    bool verify = false;
};

int Fail(int code, const std::string& message) {
    std::cerr << "kvprog-cli: " << message << "\n";
    return code;
}

std::optional<int> ParseRetries(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > kMaxRetries) {
        return std::nullopt;
    }
    return value;
}

// Accepts --verify only when allowVerify; nullopt on any other deviation from the synopsis.
std::optional<RadioOptions> ParseOptions(const Args& args, bool allowVerify) {
    RadioOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--port" && hasValue && options.port.empty() && !args[i + 1].empty()) {
            options.port = args[++i];
        } else if (word == "--retries" && hasValue) {
            const auto retries = ParseRetries(args[++i]);
            if (!retries) {
                std::cerr << "kvprog-cli: --retries takes a whole number from 0 to " << kMaxRetries
                          << ", not \"" << args[i] << "\"\n";
                return std::nullopt;
            }
            options.retries = *retries;
        } else if (word == "--verify" && allowVerify) {
            options.verify = true;
        } else if (options.file.empty() && !word.empty() && !word.starts_with("--")) {
            options.file = word;
        } else {
            return std::nullopt;
        }
    }
    if (options.port.empty() || options.file.empty()) {
        return std::nullopt;
    }
    return options;
}

// A backup that cannot be saved is only reported: the transfer matters more than its copy.
void Backup(const RadioImage& image, BackupKind kind) {
    if (const BackupSaved saved = SaveBackup(image, kind); !saved.result) {
        std::cerr << "kvprog-cli: warning: no backup: " << saved.result.message << "\n";
    }
}

// One clone run over a fresh port, reported on the error stream. What is about to be written
// and what was read completely are kept as backups.
Result<CloneEnd> Transfer(const RadioOptions& options, CloneDirection direction,
                          RadioImage& image) {
    const bool reading = direction == CloneDirection::Read;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    CTerminalHooks hooks(std::cerr, reading ? kCaptionReading : kCaptionWriting, options.retries,
                         terminal);
    CLinkPort link(std::string(reading ? "read" : "write") + " --port " + options.port);
    Result<CloneEnd> result = RunClone(link.Port(), hooks, options.port, direction, image);
    hooks.Finish();
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

int RunRead(const Args& args) {
    const auto options = ParseOptions(args, false);
    if (!options) {
        return Fail(kExitUsage, std::string("usage: kvprog-cli ") + kReadSynopsis);
    }
    const CInterruptGuard interrupt;
    RadioImage image;
    if (!Transfer(*options, CloneDirection::Read, image).ok()) {
        return kExitRadio;
    }
    const Result<> saved = SaveSinFile(options->file, image);
    if (!saved) {
        return Fail(kExitUsage, saved.message);
    }
    return kExitOk;
}

int RunWrite(const Args& args) {
    const auto options = ParseOptions(args, true);
    if (!options) {
        return Fail(kExitUsage, std::string("usage: kvprog-cli ") + kWriteSynopsis);
    }
    RadioImage image;
    if (const Result<> loaded = LoadSinFile(options->file, image); !loaded) {
        return Fail(kExitUsage, loaded.message);
    }
    // What the desktop program sends after opening the file: the form's reading of it.
    EncodeImage(DecodeForDisplay(image), image);
    const CInterruptGuard interrupt;
    if (!Transfer(*options, CloneDirection::Write, image).ok()) {
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
