#include "ChannelClipboard.h"

#include <algorithm>

#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "Csv.h"

namespace {

constexpr char kTab = '\t';

}  // namespace

std::string ChannelsAsText(const RadioImage& image, const std::vector<int>& channels) {
    const EditorModel model = DecodeForDisplay(image);
    std::string text = CsvLine(CsvRecord(kColumnHeaders.begin(), kColumnHeaders.end()), kTab);
    for (int n : channels) {
        const auto& row = model.cells[static_cast<std::size_t>(n)];
        text += CsvLine(CsvRecord(row.begin(), row.end()), kTab);
    }
    return text;
}

std::string ChannelRecords(const RadioImage& image, const std::vector<int>& channels) {
    std::string records;
    for (int n : channels) {
        const auto* record = image.data() + RadioImage::ChannelAddress(n);
        records.append(reinterpret_cast<const char*>(record), addr::kRecordSize);
    }
    return records;
}

Result<> PasteChannelRecords(RadioImage& image, int first, std::string_view records, int& pasted) {
    if (records.empty() || records.size() % addr::kRecordSize != 0) {
        return Failure("the clipboard holds no whole channel records");
    }
    const int count = static_cast<int>(records.size() / addr::kRecordSize);
    if (first + count - 1 > addr::kChannelCount) {
        return Failure(std::to_string(count) + " channels from CH " + std::to_string(first) +
                       " run past channel " + std::to_string(addr::kChannelCount));
    }
    std::copy(records.begin(), records.end(),
              reinterpret_cast<char*>(image.data() + RadioImage::ChannelAddress(first)));
    pasted = count;
    return {};
}

Result<> PasteChannelText(RadioImage& image, int first, std::string_view text,
                          const ToneList& tones, int& pasted) {
    CsvTable table;
    if (const Result<> parsed = ParseCsv(text, table, kTab); !parsed) {
        return parsed;
    }
    EditorModel model = DecodeForDisplay(image);
    int count = 0;
    if (const Result<> checked = PasteChannels(table, first, tones, model, count); !checked) {
        return checked;
    }
    // Encoded into a copy: only the pasted channels' records are taken from it.
    RadioImage encoded = image;
    EncodeImage(model, encoded);
    const auto from = RadioImage::ChannelAddress(first);
    std::copy_n(encoded.data() + from, addr::kRecordSize * static_cast<std::size_t>(count),
                image.data() + from);
    pasted = count;
    return {};
}
