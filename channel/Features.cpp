#include "Features.h"

std::string PttIdCodeText(const RadioImage& image) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < addr::kPttIdCodeCount; ++i) {
        const std::uint8_t code = image[addr::kPttIdCodes + static_cast<std::size_t>(i)];
        if (code == 0xFF) {
            break;
        }
        text += code < 16 ? kDigits[code] : '?';
    }
    return text;
}
