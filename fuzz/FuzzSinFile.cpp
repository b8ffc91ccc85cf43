// Loads arbitrary bytes as a channel data file, decodes them into the editor, overwrites
// cells and selections with more of the input, encodes, saves and loads again. The same
// input's tail is also fed to the CSV import. An image that has been through the editor once
// must come through a second decode and encode unchanged, as a read followed by a write
// without edits sends the radio what it had. Any crash, sanitizer report or broken
// invariant is a finding.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "CellRules.h"
#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "Csv.h"
#include "FuzzCommon.h"
#include "SinFile.h"
#include "ToneList.h"

namespace {

// A file of this process's own in a memory-backed folder when there is one: every run saves
// with fsync. Each run removes its files again.
std::filesystem::path WorkFile(const char* name) {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return base / ("kvfuzz-" + std::to_string(::getpid()) + "-" + name);
}

// Bytes the codec may write: frequency, tone, flag and step bytes of each channel record,
// and the four function settings, band code and type digit.
bool CodecOwns(std::size_t a) {
    if (a >= addr::kChannelBase && a < addr::kAuxBase) {
        return (a - addr::kChannelBase) % addr::kRecordSize <= rec::kTxStep;
    }
    return (a >= addr::kFuncFlags && a <= addr::kTimeoutTimer) || a == addr::kBandCode ||
           a == addr::kTypeDigit;
}

// Overwrites the model's cells and selections from the text after the first 1024 bytes.
void EditModel(std::string_view tail, EditorModel& model) {
    int cell = 0;
    while (!tail.empty() && cell < 16 * 8) {
        const std::size_t end = tail.find('\n');
        const std::string_view text = tail.substr(0, end);
        model.Cell(1 + cell / 8, 1 + cell % 8) = std::string(text);
        (void)CheckFrequency(text, BandForField(model.Selection(Setting::Field)));
        tail = end == std::string_view::npos ? std::string_view() : tail.substr(end + 1);
        ++cell;
    }
    for (std::size_t i = 0; i < model.selections.size() && i < tail.size(); ++i) {
        model.selections[i] = static_cast<signed char>(tail[i]);
    }
}

void FuzzImport(std::string_view text, EditorModel model) {
    CsvTable csv;
    if (ParseCsv(text, csv)) {
        RadioImage image;
        if (ImportChannels(csv, Tones(), model).ok()) {
            EncodeImage(model, image);
        }
    }
}

// Decodes the image into the editor and encodes it again, twice: the second pass must change
// neither the editor nor the image. A tone that is not a text of the tone list is left out:
// its code may come back as another one (a CTCSS value from 800 Hz up reads back as DCS, a
// DCS code whose low byte is not two BCD digits gains a digit).
void CheckStable(const RadioImage& image) {
    EditorModel first;
    DecodeImage(image, first);
    RadioImage once = image;
    EncodeImage(first, once);
    EditorModel second = first;
    DecodeImage(once, second);
    RadioImage twice = once;
    EncodeImage(second, twice);
    Check(second.selections == first.selections, "an image from the editor keeps its settings");
    for (int n = 1; n <= addr::kChannelCount; ++n) {
        const std::size_t r = RadioImage::ChannelAddress(n);
        for (int c = COL_RX_FREQ; c <= COL_POWER; ++c) {
            const bool tone = c == COL_RX_TONE || c == COL_TX_TONE;
            if (tone && !Tones().Contains(first.cells[n][c])) {
                const std::size_t a = r + (c == COL_RX_TONE ? rec::kRxTone : rec::kTxTone);
                twice[a] = once[a];
                twice[a + 1] = once[a + 1];
                continue;
            }
            Check(second.cells[n][c] == first.cells[n][c],
                  "an image from the editor decodes to the same cells");
        }
    }
    Check(twice == once, "an image from the editor encodes unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path in = WorkFile("in.sin");
    static const std::filesystem::path out = WorkFile("out.sin");
    struct Cleanup {
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove(in, ignored);
            std::filesystem::remove(out, ignored);
        }
    } cleanup;
    {
        std::ofstream file(in, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    RadioImage image;
    const RadioImage before = image;
    const Result<> loaded = LoadSinFile(in, image);
    Check(loaded.ok() == (size >= addr::kImageSize), "a file loads exactly when it has 1024 bytes");
    if (!loaded) {
        Check(image == before, "a refused file leaves the image alone");
        return 0;
    }
    EditorModel model;
    DecodeImage(image, model);
    const std::string_view tail(reinterpret_cast<const char*>(data) + addr::kImageSize,
                                size - addr::kImageSize);
    FuzzImport(tail, model);
    EditModel(tail, model);

    RadioImage encoded = image;
    EncodeImage(model, encoded);
    for (std::size_t a = 0; a < addr::kImageSize; ++a) {
        Check(CodecOwns(a) || encoded[a] == image[a], "the codec writes only its own bytes");
    }
    CheckStable(encoded);
    Check(SaveSinFile(out, encoded).ok(), "saving succeeds");
    RadioImage reloaded;
    Check(LoadSinFile(out, reloaded).ok() && reloaded == encoded, "a saved file loads unchanged");
    return 0;
}
