// Putting channels from CSV records into an editor model, with the cell editor's checks.
#pragma once

#include "Csv.h"
#include "EditorModel.h"
#include "ToneList.h"

// The table's first record is the header (the grid's header texts, "CH" required, any
// order, any subset); each further record replaces all cells of the channel its "CH" names.
// The model changes only when every record passes; a failure names the first bad value by
// its row (the table's line, or the record's index + 1 without lines), column and value.
Result<> ImportChannels(const CsvTable& table, const ToneList& tones, EditorModel& model);
