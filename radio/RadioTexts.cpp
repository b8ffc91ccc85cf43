#include "RadioTexts.h"

std::string OpenFailedText(std::string_view reason) {
    std::string text(kMsgOpenFailed);
    if (!reason.empty()) {
        text.append("\n\n").append(reason);
    }
    return text;
}
