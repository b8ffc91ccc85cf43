#include "ChannelRows.h"

#include <algorithm>
#include <string>

#include "ChannelCodec.h"

namespace {

std::uint8_t* Record(RadioImage& image, int n) {
    return image.data() + RadioImage::ChannelAddress(n);
}

void CopyRecord(RadioImage& image, int from, int to) {
    std::copy_n(Record(image, from), addr::kRecordSize, Record(image, to));
}

}  // namespace

bool ChannelInUse(const RadioImage& image, int n) {
    EditorModel model;
    DecodeImage(image, model);
    return !model.Cell(n, COL_RX_FREQ).empty() || !model.Cell(n, COL_TX_FREQ).empty();
}

void ClearChannel(RadioImage& image, int n) {
    EditorModel model;
    DecodeImage(image, model);
    for (int c = COL_RX_FREQ; c <= COL_POWER; ++c) {
        model.Cell(n, c).clear();
    }
    // Encoded into a copy: only channel n's record is taken from it.
    RadioImage encoded = image;
    EncodeImage(model, encoded);
    std::copy_n(Record(encoded, n), addr::kRecordSize, Record(image, n));
}

Result<> InsertEmptyChannel(RadioImage& image, int n) {
    if (ChannelInUse(image, addr::kChannelCount)) {
        return Failure("Channel 16 is in use: no channel can be inserted before it is cleared.");
    }
    for (int c = addr::kChannelCount; c > n; --c) {
        CopyRecord(image, c - 1, c);
    }
    ClearChannel(image, n);
    return {};
}

void DeleteChannel(RadioImage& image, int n) {
    for (int c = n; c < addr::kChannelCount; ++c) {
        CopyRecord(image, c + 1, c);
    }
    ClearChannel(image, addr::kChannelCount);
}

bool MoveChannel(RadioImage& image, int n, int delta) {
    const int other = n + delta;
    if (other < 1 || other > addr::kChannelCount) {
        return false;
    }
    std::swap_ranges(Record(image, n), Record(image, n) + addr::kRecordSize, Record(image, other));
    return true;
}
