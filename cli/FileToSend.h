// What kvprog-cli write and fleet send for a channel data file: what the desktop program
// sends after opening it, the form's reading of the file. That differs from the file's own
// bytes where it holds values the form cannot show (a tone code outside the tone list, the
// flags of an unused channel), and the user hears which fields before anything is sent.
#pragma once

#include <string>

#include "RadioImage.h"
#include "Result.h"

// Loads file into sent as the form reads it, and says on standard error what of the part a
// write sends (up to addr::kWriteEnd) differs from the file's own bytes, if anything does.
Result<> LoadFileToSend(const std::string& file, RadioImage& sent);

// The lines of that note, empty when sent holds the file's own bytes up to addr::kWriteEnd:
// "kvprog-cli: warning: ..." naming the file, then one line a differing field, the file's
// value first.
std::string SentOtherwiseNote(const std::string& file, const RadioImage& fileImage,
                              const RadioImage& sent);
