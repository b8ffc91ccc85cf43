// The image a new document starts with, for each radio type.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "RadioImage.h"

// The radio types, in the order of the form's Type combo.
enum class RadioType { T310X = 0, T520 = 1 };

std::string_view RadioTypeName(RadioType type);  // "KV - T310X", "KV - T520"
std::optional<RadioType> RadioTypeFromName(std::string_view name);

RadioImage NewDocumentImage(RadioType type);

// The radio type an image is for, by its type digit; none for a digit the program does not
// know.
std::optional<RadioType> ImageRadioType(const RadioImage& image);

// "KV - T310X", or "radio of model XXXXX" (its model code) for a type the program does not
// know.
std::string RadioTypeText(const RadioImage& image);
