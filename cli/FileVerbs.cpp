#include "FileVerbs.h"

#include <iostream>
#include <span>
#include <vector>

#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "ChannelReport.h"
#include "Csv.h"
#include "FileIO.h"
#include "NewDocument.h"
#include "Options.h"
#include "QuotedValue.h"
#include "SinFile.h"
#include "ToneList.h"

namespace {

// A CSV of sixteen channels is a few kilobytes; anything this large is not one.
constexpr std::size_t kMaxCsvBytes = 1 << 20;

bool Save(const std::string& path, const RadioImage& image) {
    const Result<> saved = SaveSinFile(PathFromUtf8(path), image);
    if (!saved) {
        Fail(kExitUsage, saved.message);
    }
    return saved.ok();
}

bool ReadText(const std::string& path, std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    const Result<> read = ReadRegularFile(PathFromUtf8(path), kMaxCsvBytes, bytes, &size);
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

// True, after a message, when out is the same file as the input in (under any name): writing
// it would destroy the input.
bool IsTheInput(const std::string& out, const std::string& in) {
    if (out == "-" || !IsSameFile(out, in)) {
        return false;
    }
    Fail(kExitUsage, "Cannot write " + QuotedPath(out) + ": it is the same file as the input " +
                         QuotedPath(in) + ".");
    return true;
}

// Writes text to the file in one step (a failed export leaves an old file as it was), or to
// standard output for "-".
bool WriteText(const std::string& path, const std::string& text) {
    if (path == "-") {
        return WriteStandardOutput(text);
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const Result<> written =
        WriteFileAtomically(PathFromUtf8(path), std::span(data, text.size()), "Cannot write");
    if (!written) {
        Fail(kExitUsage, written.message);
    }
    return written.ok();
}

}  // namespace

bool LoadOrReport(const std::string& path, RadioImage& image) {
    const Result<> loaded = LoadSinFile(PathFromUtf8(path), image);
    if (!loaded) {
        Fail(kExitUsage, loaded.message);
    }
    return loaded.ok();
}

int RunNew(const Args& args, std::string_view synopsis) {
    static constexpr OptionSpec kOptions[] = {{"--type", Takes::Value}};
    static constexpr std::string_view kNames[] = {"OUT.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kOptions, .positionals = kNames}, args, synopsis, words)) {
        return kExitUsage;
    }
    RadioType type = RadioType::T310X;
    if (words.Has("--type")) {
        const std::string name = words.Last("--type");
        const auto named = RadioTypeFromName(name);
        if (!named) {
            return Fail(kExitUsage, "unknown radio type " + QuotedValue(name) +
                                        "; the types are \"KV - T310X\" and \"KV - T520\"");
        }
        type = *named;
    }
    return Save(words.positionals[0], NewDocumentImage(type)) ? kExitOk : kExitUsage;
}

int RunShow(const Args& args, std::string_view synopsis) {
    static constexpr OptionSpec kOptions[] = {{"--json"}};
    static constexpr std::string_view kNames[] = {"FILE.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kOptions, .positionals = kNames, .namesAsGiven = true}, args,
                          synopsis, words)) {
        return kExitUsage;
    }
    RadioImage image;
    if (!LoadOrReport(words.positionals[0], image)) {
        return kExitUsage;
    }
    if (!WriteStandardOutput(words.Has("--json") ? JsonOutput(ReportJson(image))
                                                 : ReportText(image))) {
        return kExitUsage;
    }
    return kExitOk;
}

int RunExport(const Args& args, std::string_view synopsis) {
    static constexpr std::string_view kNames[] = {"FILE.sin", "OUT.csv"};
    ParsedWords words;
    if (!ParseOrShowUsage({.positionals = kNames, .namesAsGiven = true}, args, synopsis, words)) {
        return kExitUsage;
    }
    RadioImage image;
    if (IsTheInput(args[1], args[0]) || !LoadOrReport(args[0], image)) {
        return kExitUsage;
    }
    return WriteText(args[1], ReportCsv(image)) ? kExitOk : kExitUsage;
}

int RunImport(const Args& args, std::string_view synopsis) {
    static constexpr std::string_view kNames[] = {"IN.csv", "BASE.sin", "OUT.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.positionals = kNames, .namesAsGiven = true}, args, synopsis, words)) {
        return kExitUsage;
    }
    std::string text;
    RadioImage image;
    // OUT may be BASE: putting channels into a file in place is what import is for.
    if (IsTheInput(args[2], args[0]) || !ReadText(args[0], text) || !LoadOrReport(args[1], image)) {
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
