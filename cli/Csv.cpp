#include "Csv.h"

namespace {

bool NeedsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool IsBlankRecord(const CsvRecord& record) {
    return record.size() == 1 && record[0].empty();
}

}  // namespace

std::string CsvLine(const CsvRecord& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        if (!NeedsQuotes(fields[i])) {
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

CsvParseResult ParseCsv(std::string_view text) {
    CsvParseResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    CsvRecord record;
    std::string field;
    std::size_t i = 0;
    int line = 1;
    auto endRecord = [&] {
        record.push_back(std::move(field));
        field.clear();
        if (!IsBlankRecord(record)) {
            result.records.push_back(std::move(record));
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
                    result.error = "a quoted field that starts on line " +
                                   std::to_string(startLine) + " never ends";
                    return result;
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
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                result.error = "line " + std::to_string(line) + ": text after a closing quote";
                return result;
            }
            continue;
        }
        if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            endRecord();
            i += 2;
            ++line;
        } else if (c == '\n') {
            endRecord();
            ++i;
            ++line;
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || !record.empty()) {
        endRecord();
    }
    return result;
}
