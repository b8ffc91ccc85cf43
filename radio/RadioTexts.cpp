#include "RadioTexts.h"

std::string OpenFailedText(std::string_view reason) {
    std::string text(kMsgOpenFailed);
    if (!reason.empty()) {
        text.append("\n\n").append(reason);
    }
    return text;
}

std::string PartWrittenText(std::string_view how, int blocks, int total, std::string_view source,
                            std::string_view backup) {
    std::string text = "the write " + std::string(how) + " after " + std::to_string(blocks) +
                       " of " + std::to_string(total) + " blocks: the radio now holds part of ";
    text.append(source).append(" and part of what it held before. Write it again");
    if (!backup.empty()) {
        text.append(", or restore the backup ").append(backup);
    }
    return text + ".";
}
