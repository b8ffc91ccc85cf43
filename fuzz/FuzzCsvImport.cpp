// Parses arbitrary bytes as CSV, imports the records into the editor of a new document and
// encodes the result, as `kvprog-cli import` does.
//
// Parsed records survive being written back as CSV lines and parsed again. A refused import
// leaves the editor exactly as it was. An accepted one leaves the header row, the channel
// numbers and the settings alone and fills each channel row with values the cell editor
// would accept: frequencies that pass their checks again unchanged, tones from the tone
// list, the other columns from their lists, and nothing at all beside two empty
// frequencies. The image encoded from it decodes to the same cells.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "CellRules.h"
#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "Csv.h"
#include "FuzzCommon.h"
#include "NewDocument.h"
#include "ToneList.h"

namespace {

bool IsItemOf(int column, const std::string& text) {
    for (std::string_view item : ColumnItems(column)) {
        if (item == text) {
            return true;
        }
    }
    return false;
}

void CheckRow(const std::array<std::string, kGridCols>& row, BandLimits band) {
    for (int c : {COL_RX_FREQ, COL_TX_FREQ}) {
        if (row[c].empty()) {
            continue;
        }
        const FrequencyCheck check = CheckFrequency(row[c], band);
        Check(check.ok() && check.text == row[c], "an imported frequency passes its checks");
    }
    const bool inUse = !row[COL_RX_FREQ].empty() || !row[COL_TX_FREQ].empty();
    for (int c = COL_RX_TONE; c <= COL_POWER; ++c) {
        if (!inUse) {
            Check(row[c].empty(), "a channel without frequencies holds nothing else");
        } else if (c == COL_RX_TONE || c == COL_TX_TONE) {
            Check(Tones().Contains(row[c]), "an imported tone is a text of the tone list");
        } else {
            Check(IsItemOf(c, row[c]), "an imported list value is a text of its list");
        }
    }
}

void CheckCsvRoundTrip(const CsvTable& csv) {
    std::string text;
    for (const CsvRecord& record : csv.records) {
        text += CsvLine(record);
    }
    CsvTable again;
    Check(ParseCsv(text, again).ok() && again.records == csv.records,
          "records written as CSV parse back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CsvTable csv;
    if (!ParseCsv(text, csv)) {
        return 0;
    }
    CheckCsvRoundTrip(csv);

    RadioImage image = NewDocumentImage(size % 2 ? RadioType::T520 : RadioType::T310X);
    const EditorModel before = DecodeForDisplay(image);
    EditorModel model = before;
    if (!ImportChannels(csv, Tones(), model).ok()) {
        Check(model.cells == before.cells && model.selections == before.selections,
              "a refused import leaves the editor alone");
        return 0;
    }
    Check(model.cells[0] == before.cells[0] && model.selections == before.selections,
          "an import leaves the header row and the settings alone");
    const BandLimits band = BandForField(model.Selection(Setting::Field));
    for (int n = 1; n <= addr::kChannelCount; ++n) {
        Check(model.cells[n][COL_CH] == before.cells[n][COL_CH],
              "an import leaves the channel numbers alone");
        CheckRow(model.cells[n], band);
    }

    EncodeImage(model, image);
    Check(DecodeForDisplay(image).cells == model.cells, "the encoded channels decode unchanged");
    return 0;
}
