// Putting channels from CSV records into an editor model, with the cell editor's checks.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "Csv.h"
#include "EditorModel.h"
#include "ToneList.h"

struct ImportResult {
    bool ok = true;
    std::string message;  // the first bad value: row, column and value
};

// records[0] is the header (the grid's header texts, "CH" required, any order, any subset);
// each further record replaces all cells of the channel its "CH" names. The model changes
// only when every record passes.
// lines gives each record's row in the file for messages (its index + 1 when empty).
ImportResult ImportChannels(const std::vector<CsvRecord>& records, const ToneList& tones,
                            EditorModel& model, std::span<const int> lines = {});
