#include "RadioTexts.h"

std::string OpenFailedText(std::string_view reason) {
    std::string text(kMsgOpenFailed);
    if (!reason.empty()) {
        text.append("\n\n").append(reason);
    }
    return text;
}

std::string PartWrittenText(std::string_view how, int blocks, int total, std::string_view source,
                            std::string_view restore) {
    std::string text = "the write " + std::string(how);
    if (blocks == 0) {
        text.append(
                " at the first block: the radio did not acknowledge it and may hold that "
                "block of ")
            .append(source)
            .append(", or part of it.");
    } else {
        text.append(" after " + std::to_string(blocks) + " of " + std::to_string(total) +
                    " blocks: the radio now holds part of ")
            .append(source)
            .append(" and part of what it held before.");
    }
    return text + " " + WriteAgainText(restore);
}

std::string WriteAgainText(std::string_view restore) {
    std::string text = "Write it again";
    return restore.empty() ? text + "." : text.append(", or restore the backup ").append(restore);
}
