#include "FileVerbs.h"

#include <iostream>
#include <span>
#include <vector>

#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "ChannelReport.h"
#include "Csv.h"
#include "NewDocument.h"
#include "SinFile.h"
#include "ToneList.h"

namespace {

// A CSV of sixteen channels is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxCsvBytes = 1 << 20;

int Fail(int code, const std::string& message) {
    std::cerr << "kvprog-cli: " << message << "\n";
    return code;
}

int Usage(const std::string& synopsis) {
    return Fail(kExitUsage, "usage: kvprog-cli " + synopsis);
}

bool Load(const std::string& path, RadioImage& image) {
    const Result<> loaded = LoadSinFile(path, image);
    if (!loaded) {
        Fail(kExitUsage, loaded.message);
    }
    return loaded.ok();
}

bool Save(const std::string& path, const RadioImage& image) {
    const Result<> saved = SaveSinFile(path, image);
    if (!saved) {
        Fail(kExitUsage, saved.message);
    }
    return saved.ok();
}

bool ReadText(const std::string& path, std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    const Result<> read = ReadRegularFile(path, kMaxCsvBytes, bytes, &size);
    if (!read) {
        Fail(kExitUsage, read.message);
        return false;
    }
    if (size > kMaxCsvBytes) {
        Fail(kExitUsage, "Cannot open \"" + path + "\": it holds " + std::to_string(size) +
                             " bytes; a channel CSV file is a few kilobytes.");
        return false;
    }
    text.assign(bytes.begin(), bytes.end());
    return true;
}

// Writes text to the file in one step (a failed export leaves an old file as it was), or to
// standard output for "-".
bool WriteText(const std::string& path, const std::string& text) {
    if (path == "-") {
        std::cout << text << std::flush;
        return static_cast<bool>(std::cout);
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const Result<> written =
        WriteFileAtomically(path, std::span(data, text.size()), "Cannot write");
    if (!written) {
        Fail(kExitUsage, written.message);
    }
    return written.ok();
}

}  // namespace

int RunNew(const Args& args) {
    const std::string synopsis = "new [--type \"KV - T310X\"|\"KV - T520\"] OUT.sin";
    RadioType type = RadioType::T310X;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--type" && i + 1 < args.size()) {
            const auto named = RadioTypeFromName(args[++i]);
            if (!named) {
                return Fail(kExitUsage, "unknown radio type \"" + args[i] +
                                            "\"; the types are \"KV - T310X\" and \"KV - T520\"");
            }
            type = *named;
        } else if (out.empty() && !args[i].starts_with("--")) {
            out = args[i];
        } else {
            return Usage(synopsis);
        }
    }
    if (out.empty()) {
        return Usage(synopsis);
    }
    return Save(out, NewDocumentImage(type)) ? kExitOk : kExitUsage;
}

int RunShow(const Args& args) {
    const bool json = !args.empty() && args[0] == "--json";
    if (args.size() != (json ? 2u : 1u)) {
        return Usage("show [--json] FILE.sin");
    }
    RadioImage image;
    if (!Load(args.back(), image)) {
        return kExitUsage;
    }
    std::cout << (json ? ReportJson(image) : ReportText(image)) << std::flush;
    return kExitOk;
}

int RunExport(const Args& args) {
    if (args.size() != 2) {
        return Usage("export FILE.sin OUT.csv");
    }
    RadioImage image;
    if (!Load(args[0], image)) {
        return kExitUsage;
    }
    return WriteText(args[1], ReportCsv(image)) ? kExitOk : kExitUsage;
}

int RunImport(const Args& args) {
    if (args.size() != 3) {
        return Usage("import IN.csv BASE.sin OUT.sin");
    }
    std::string text;
    RadioImage image;
    if (!ReadText(args[0], text) || !Load(args[1], image)) {
        return kExitUsage;
    }
    CsvTable csv;
    if (const Result<> parsed = ParseCsv(text, csv); !parsed) {
        return Fail(kExitUsage, args[0] + ": " + parsed.message);
    }
    ToneList tones;
    tones.Build();
    EditorModel model = DecodeForDisplay(image);
    const Result<> imported = ImportChannels(csv, tones, model);
    if (!imported.ok()) {
        return Fail(kExitUsage, args[0] + ": " + imported.message);
    }
    EncodeImage(model, image);
    return Save(args[2], image) ? kExitOk : kExitUsage;
}
