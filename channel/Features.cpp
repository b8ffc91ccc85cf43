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

std::vector<FeatureValue> FeatureValues(const RadioImage& image) {
    std::vector<FeatureValue> values;
    values.push_back({"PTT ID",
                      std::string(kPttIdModeNames[static_cast<std::size_t>(PttIdMode(image))]),
                      addr::kOptionFlags, 1});
    values.push_back({"ID Code", PttIdCodeText(image), addr::kPttIdCodes,
                      static_cast<std::size_t>(addr::kPttIdCodeCount)});
    for (const OptionSwitch& option : kOptionSwitches) {
        values.push_back({std::string(option.name), IsOptionOn(image, option) ? "ON" : "OFF",
                          addr::kOptionFlags, 1});
    }
    return values;
}
