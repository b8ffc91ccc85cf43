// Whole channels moved about in the image: each channel is its 16-byte record, moved byte for
// byte, so a channel keeps every bit it has (those the form does not show too).
#pragma once

#include "RadioImage.h"
#include "Result.h"

// Whether channel n (1 to 16) has a receive or transmit frequency.
bool ChannelInUse(const RadioImage& image, int n);

// Empties channel n as clearing both its frequencies in the form does; no other byte changes.
void ClearChannel(RadioImage& image, int n);

// Shifts channels n to 15 down by one and empties n. Refused when channel 16 is in use.
Result<> InsertEmptyChannel(RadioImage& image, int n);

// Shifts channels n + 1 to 16 up by one and empties channel 16.
void DeleteChannel(RadioImage& image, int n);

// Swaps channels n and n + delta (delta -1 or 1); false when that is outside 1 to 16.
bool MoveChannel(RadioImage& image, int n, int delta);
