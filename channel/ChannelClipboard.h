// Channels on the clipboard, two ways at once: as tab-separated text with the grid's columns
// and header row (so a spreadsheet takes them as cells), and as their 16-byte records (so a
// paste inside the program keeps every bit, those the form does not show too).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "RadioImage.h"
#include "Result.h"
#include "ToneList.h"

// The header row, then one row per channel as the grid shows it; CRLF line ends.
std::string ChannelsAsText(const RadioImage& image, const std::vector<int>& channels);

// The channels' records one after the other.
std::string ChannelRecords(const RadioImage& image, const std::vector<int>& channels);

// Puts records (whole 16-byte records only) on channels first and on; pasted: how many.
// Refused, changing nothing, when they would run past channel 16.
Result<> PasteChannelRecords(RadioImage& image, int first, std::string_view records, int& pasted);

// Puts tab-separated rows on channels first and on, checked as a CSV import is; only the
// records of those channels change. Refused, changing nothing, with the first problem.
Result<> PasteChannelText(RadioImage& image, int first, std::string_view text,
                          const ToneList& tones, int& pasted);
