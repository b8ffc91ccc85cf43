#include "RadioImage.h"

std::optional<std::uint32_t> ReadFrequency(const RadioImage& image, std::size_t a) {
    if (IsFrequencyByteAbsent(image[a + 3])) {
        return std::nullopt;
    }
    std::uint32_t units = 0;
    for (int k = 3; k >= 0; --k) {
        units = units * 100 + static_cast<std::uint32_t>(BcdValue(image[a + k]));
    }
    return units;
}

void WriteFrequency(RadioImage& image, std::size_t a, std::uint32_t units) {
    std::uint32_t divisor = 1000000;
    for (int k = 3; k >= 0; --k) {
        const std::uint32_t q = units / divisor;
        image[a + k] = BcdByte(q & 0xFF);
        units %= divisor;
        divisor /= 100;
    }
}

void WriteNoFrequency(RadioImage& image, std::size_t a) {
    for (std::size_t k = 0; k < 4; ++k) {
        image[a + k] = 0xFF;
    }
}

std::uint8_t StepFlag(std::uint32_t units) {
    return (units < 30000000 && units % 625 != 0) ? 0 : 1;
}

bool IsChannelInUse(const RadioImage& image, int channel) {
    const std::size_t r = RadioImage::ChannelAddress(channel);
    return !IsFrequencyByteAbsent(image[r + rec::kRxFreq + 3]) ||
           !IsFrequencyByteAbsent(image[r + rec::kTxFreq + 3]);
}
