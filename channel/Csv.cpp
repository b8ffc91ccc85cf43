#include "Csv.h"

namespace {

bool NeedsQuotes(std::string_view field, char separator) {
    // A leading byte order mark would be taken for the file's own when read back.
    return field.find_first_of("\"\r\n") != std::string_view::npos ||
           field.find(separator) != std::string_view::npos || field.starts_with("\xEF\xBB\xBF");
}

bool IsBlankRecord(const CsvRecord& record) {
    return record.size() == 1 && record[0].empty();
}

// The line of the first byte that is not UTF-8 (or a NUL, which no text holds), or 0.
int FirstBadLine(std::string_view text) {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (c == 0 || length == 0 || i + length > text.size()) {
            return line;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return line;
            }
        }
        line += c == '\n';
        i += length;
    }
    return 0;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

}  // namespace

std::string CsvLine(const CsvRecord& fields, char separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        if (!NeedsQuotes(fields[i], separator)) {
            line += fields[i];
            continue;
        }
        line += '"';
        for (char c : fields[i]) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

Result<> ParseCsv(std::string_view text, CsvTable& result, char separator) {
    result = {};
    if (const int bad = FirstBadLine(WithoutByteOrderMark(text))) {
        return Failure("line " + std::to_string(bad) +
                       ": the file is not UTF-8 text (save it from the spreadsheet as CSV in "
                       "UTF-8)");
    }
    return ParseCsvBytes(text, result, separator);
}

Result<> ParseCsvBytes(std::string_view text, CsvTable& result, char separator) {
    result = {};
    text = WithoutByteOrderMark(text);
    CsvRecord record;
    std::string field;
    std::size_t i = 0;
    int line = 1;
    int recordLine = 1;
    auto endRecord = [&] {
        record.push_back(std::move(field));
        field.clear();
        if (!IsBlankRecord(record)) {
            result.records.push_back(std::move(record));
            result.lines.push_back(recordLine);
        }
        record.clear();
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && field.empty()) {
            // A quoted field runs to the next quote that is not doubled.
            const int startLine = line;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    return Failure("a quoted field that starts on line " +
                                   std::to_string(startLine) + " never ends");
                }
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    i += 2;
                } else if (text[i] == '"') {
                    ++i;
                    break;
                } else {
                    line += text[i] == '\n';
                    field += text[i++];
                }
            }
            if (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
                return Failure("line " + std::to_string(line) + ": text after a closing quote");
            }
            continue;
        }
        if (c == separator) {
            record.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            endRecord();
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            recordLine = ++line;
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || !record.empty()) {
        endRecord();
    }
    return {};
}
