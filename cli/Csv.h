// Comma-separated values as RFC 4180 writes them: CRLF line ends, fields holding a comma,
// a quote or a line break enclosed in quotes, quotes doubled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using CsvRecord = std::vector<std::string>;

std::string CsvLine(const CsvRecord& fields);

struct CsvParseResult {
    std::vector<CsvRecord> records;
    std::string error;  // empty when the whole text parsed
};

// Parses text. Accepts CRLF or LF line ends and a leading UTF-8 byte order mark (as
// spreadsheets write them); blank lines are skipped.
CsvParseResult ParseCsv(std::string_view text);
