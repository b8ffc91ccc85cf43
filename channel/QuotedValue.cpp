#include "QuotedValue.h"

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string QuotedValue(std::string_view text) {
    std::size_t end = 0;
    for (std::size_t chars = 0; end < text.size() && chars < kQuotedChars; ++chars) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end])) {
            ++end;
        }
    }
    std::string quoted = "\"";
    quoted.append(text.substr(0, end));
    if (end < text.size()) {
        quoted.append("\xE2\x80\xA6");  // …
    }
    quoted.push_back('"');
    return quoted;
}
