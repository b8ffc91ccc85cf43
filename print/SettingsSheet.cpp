#include "SettingsSheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRect>
#include <array>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kLinesPerPage = 42;
constexpr int kCellsPerLine = 60;
constexpr int kLeftMarginTwips = 900;
constexpr double kTitleScale = 1.4;
constexpr double kGapScale = 1.2;  // the gap under a section heading, in lines

// The average character width as classic TrueType tables define it: the lowercase letters
// and the space weighted by their frequency in English text. Newer tables of some faces
// average every glyph instead, which would make the sheet's widths depend on the face's
// character set rather than on the letters the sheet prints.
double AverageCharWidth(const QFontMetricsF& metrics) {
    static constexpr std::array<int, 26> kLetterWeights = {64, 14, 27, 35, 100, 20, 14, 42, 63,
                                                           3,  6,  35, 20, 56,  56, 17, 4,  49,
                                                           56, 71, 31, 10, 18,  3,  18, 2};
    constexpr int kSpaceWeight = 166;
    double sum = kSpaceWeight * metrics.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i) {
        sum += kLetterWeights[i] * metrics.horizontalAdvance(QLatin1Char(char('a' + i)));
    }
    return sum / 1000;
}

// Places texts given in twips (x to the right, y upwards from the area's top edge, so lines
// below the top have negative y) on the device, in the font selected last.
class SheetWriter {
public:
    SheetWriter(QPainter& painter, const QRect& area, int dpiX, int dpiY)
        : m_painter(painter), m_area(area), m_dpiX(dpiX), m_dpiY(dpiY) {}

    // A "Times New Roman" font whose em is heightTwips tall and whose average character is
    // widthTwips wide; the width is reached by stretching the face horizontally.
    QFont MakeFont(int heightTwips, int widthTwips) const {
        const QPaintDevice* device = m_painter.device();
        QFont font(QStringLiteral("Times New Roman"));
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        // A modern-family hint: it only decides the fallback when the face is missing.
        font.setStyleHint(QFont::TypeWriter);
        const double emPixels = ToPixelsY(heightTwips);
        font.setPointSizeF(emPixels * 72.0 / device->logicalDpiY());
        const double natural = AverageCharWidth(QFontMetricsF(font, device));
        if (natural > 0) {
            const double target = ToPixelsX(widthTwips);
            font.setStretch(qBound(1, qRound(100.0 * target / natural), 4000));
        }
        return font;
    }

    // Selects font and returns its line advance in twips: text height plus external leading.
    int Select(const QFont& font) {
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, m_painter.device());
        m_ascent = metrics.ascent();
        const double advance = metrics.height() + qMax(0.0, metrics.leading());
        return static_cast<int>(advance * kTwipsPerInch / m_dpiY);
    }

    // Draws text with its top-left corner at (x, y), unclipped.
    void Text(int x, int y, const QString& text) {
        const QPointF topLeft(m_area.left() + ToPixelsX(x), m_area.top() - ToPixelsY(y));
        m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + m_ascent), text);
    }

private:
    double ToPixelsX(int twips) const { return double(twips) * m_dpiX / kTwipsPerInch; }
    double ToPixelsY(int twips) const { return double(twips) * m_dpiY / kTwipsPerInch; }

    QPainter& m_painter;
    QRect m_area;
    int m_dpiX;
    int m_dpiY;
    double m_ascent = 0;
};

}  // namespace

SheetData SheetFromEditor(const EditorModel& model) {
    EditorModel shown = model;
    shown.WriteHeaders();
    SheetData data;
    for (const SettingInfo& info : SettingInfos()) {
        const std::string_view text = shown.SelectedText(info.setting);
        data.Text(info.setting) =
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kGridCols; ++c) {
            data.Cell(r, c) = QString::fromStdString(shown.Cell(r, c));
        }
    }
    return data;
}

QString WideNarrowSummary(const SheetData& data) {
    QString summary;
    bool any = false;
    for (int r = 1; r < kGridRows; ++r) {
        if (data.Cell(r, COL_RX_FREQ).isEmpty() && data.Cell(r, COL_TX_FREQ).isEmpty()) {
            continue;
        }
        const QString& wn = data.Cell(r, COL_WN);
        if (!any) {
            summary = wn;
            any = true;
        } else if (wn != summary) {
            return QStringLiteral("Mixed");
        }
    }
    return summary;
}

void DrawSettingsSheet(QPainter& painter, const QRect& printableArea, int dpiX, int dpiY,
                       const SheetData& data) {
    if (dpiX <= 0 || dpiY <= 0) {
        return;
    }
    // h: one line when the page holds 42; w: one character cell when 60 fit beside the margin.
    const int h = ((printableArea.height() / kLinesPerPage) * kTwipsPerInch) / dpiY;
    const int w = (printableArea.width() * kTwipsPerInch / dpiX - kLeftMarginTwips) / kCellsPerLine;
    if (h <= 0 || w <= 0) {
        return;  // an area too small for a single line
    }
    painter.save();
    painter.setClipping(false);
    painter.setPen(Qt::black);
    SheetWriter out(painter, printableArea, dpiX, dpiY);

    const QFont titleFont =
        out.MakeFont(static_cast<int>(h * kTitleScale), static_cast<int>(w * kTitleScale));
    int line = out.Select(titleFont);
    int y = -(line / 2);
    const int centre = (printableArea.width() / 2) * kTwipsPerInch / dpiX;
    out.Text(centre - 14 * w, y, QStringLiteral("The Radio Settings"));
    y -= line;

    line = out.Select(out.MakeFont(h, w));
    const double gap = kGapScale * line;
    out.Text(5 * w, y, QStringLiteral("Function Setting:"));
    y = static_cast<int>(y - gap);
    out.Text(2 * w, y, "Type:   " + data.Text(Setting::Type));
    y -= line;
    out.Text(2 * w, y, "Frequency Field:" + data.Text(Setting::Field));
    y -= line;
    out.Text(2 * w, y, "Tx Total Time: " + data.Text(Setting::TimeoutTimer));
    out.Text(31 * w, y, "Warning Setting: " + data.Text(Setting::Beep));
    y -= line;
    out.Text(2 * w, y, "Squelch Level: " + data.Text(Setting::SquelchLevel));
    out.Text(31 * w, y, "W/N: " + WideNarrowSummary(data));
    y -= line;
    out.Text(2 * w, y, "Moni: " + data.Text(Setting::Moni));
    y -= line;
    out.Text(5 * w, y, QStringLiteral("Channel Setting:"));
    y = static_cast<int>(y - gap);

    // The frequency columns are labelled by the short literals, the others by their headers.
    out.Text(w, y,
             data.Cell(0, COL_CH) + "    Rx(MHz)  Tx(MHz)     " + data.Cell(0, COL_RX_TONE) + "  " +
                 data.Cell(0, COL_TX_TONE) + "     " + data.Cell(0, COL_BUSY));
    static constexpr std::array<std::pair<int, int>, 5> kValueColumns = {{{COL_RX_FREQ, 6},
                                                                          {COL_TX_FREQ, 18},
                                                                          {COL_RX_TONE, 32},
                                                                          {COL_TX_TONE, 42},
                                                                          {COL_BUSY, 52}}};
    for (int r = 1; r < kGridRows; ++r) {
        y -= line;
        out.Text(w, y, data.Cell(r, COL_CH));
        for (const auto& [col, cells] : kValueColumns) {
            out.Text(cells * w, y, data.Cell(r, col) + ' ');
        }
    }
    painter.restore();
}
