// What `kvprog-cli show` and `export` print: a channel data image decoded exactly as the
// form shows it right after the file is opened.
#pragma once

#include <string>

#include <QJsonObject>

#include "RadioImage.h"

// "Label: value" lines for the settings and features, a blank line, then the channel table.
std::string ReportText(const RadioImage& image);

// One JSON object with "settings", "channels" and "features".
QJsonObject ReportJson(const RadioImage& image);

// The grid as CSV: the header row, then channels 1 to 16.
std::string ReportCsv(const RadioImage& image);
