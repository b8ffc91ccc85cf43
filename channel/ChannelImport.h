// Putting channels from CSV or tab-separated records into an editor model, with the cell
// editor's checks: a file named by kvprog-cli import, or cells pasted from a spreadsheet.
#pragma once

#include "Csv.h"
#include "EditorModel.h"
#include "ToneList.h"

// The table's first record is the header (the grid's header texts, "CH" required, any
// order, any subset); each further record replaces all cells of the channel its "CH" names.
// The model changes only when every record passes; a failure names the first bad value by
// its row (the table's line, or the record's index + 1 without lines), column and value.
Result<> ImportChannels(const CsvTable& table, const ToneList& tones, EditorModel& model);

// Pasted rows replace channels first, first + 1, and so on, whatever their "CH" fields say.
// A first record of column headers names the columns (any order, any subset, "CH" optional);
// without it the columns are the grid's in order, from "CH" when a row has all nine, from
// "Receive(MHz)" when it has fewer. Refused, changing nothing, when the rows would run past
// channel 16 or a value fails, named as ImportChannels names it. pasted: the rows placed.
Result<> PasteChannels(const CsvTable& table, int first, const ToneList& tones, EditorModel& model,
                       int& pasted);
