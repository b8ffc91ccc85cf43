// The one-page settings sheet: a few radio-wide settings and the table of the sixteen
// channels, as the form shows them. The sheet is drawn from the editor model (what the form
// holds, not the document's image), so it can be drawn on any paint device (printer,
// preview, PDF, or a test's recorder).
#pragma once

#include <QString>
#include <array>

#include "EditorModel.h"

class QPainter;
class QRect;

struct SheetData {
    // Each setting combo's selected item text, "" when it has no selection; by Setting.
    std::array<QString, kSettingCount> settings;
    // The grid's cell texts, row 0 the headers, column 0 the channel numbers.
    std::array<std::array<QString, kGridCols>, kGridRows> cells;

    QString& Text(Setting s) { return settings.at(static_cast<std::size_t>(s)); }
    const QString& Text(Setting s) const { return settings.at(static_cast<std::size_t>(s)); }
    QString& Cell(int row, int col) { return cells.at(row).at(col); }
    const QString& Cell(int row, int col) const { return cells.at(row).at(col); }
};

// The texts the sheet prints for an editor model: each setting's selected item and the
// grid's cells under the grid's own headers and channel numbers.
SheetData SheetFromEditor(const EditorModel& model);

// The bandwidth of the channels in use (a channel with a receive or transmit frequency):
// their common W/N text when they agree, "Mixed" when they differ, "" when none is in use.
QString WideNarrowSummary(const SheetData& data);

// Draws the sheet into printableArea (device pixels; its top-left corner is the sheet's
// origin) of a device with the given resolution. The layout is computed in twips (1440 per
// inch) from the area's pixel size: 42 lines down the page, 60 character cells across.
void DrawSettingsSheet(QPainter& painter, const QRect& printableArea, int dpiX, int dpiY,
                       const SheetData& data);
