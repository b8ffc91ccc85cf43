// Comma-separated values as RFC 4180 writes them: CRLF line ends, fields holding a comma,
// a quote or a line break enclosed in quotes, quotes doubled. With a tab as the separator the
// same rules make the tab-separated text spreadsheets put on the clipboard.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

using CsvRecord = std::vector<std::string>;

std::string CsvLine(const CsvRecord& fields, char separator = ',');

struct CsvTable {
    std::vector<CsvRecord> records;
    std::vector<int> lines;  // the line each record starts on, as a spreadsheet counts rows
};

// Parses UTF-8 text into table. Accepts CRLF, LF or CR line ends and a leading byte order
// mark (as spreadsheets write them); blank lines are skipped. Text that is not UTF-8 is
// refused, and so is text that does not parse; table then holds the records before the fault.
Result<> ParseCsv(std::string_view text, CsvTable& table, char separator = ',');

// ParseCsv for text whose bytes need not be UTF-8 (a log that names files as the file system
// spells them): the fields keep their bytes as they are.
Result<> ParseCsvBytes(std::string_view text, CsvTable& table, char separator = ',');
