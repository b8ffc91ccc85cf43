// The settings sheet: its layout on a recording device, its text in a real PDF, and the
// print commands' refusals.
#include <QComboBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "ChannelCodec.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"
#include "NewDocument.h"
#include "PrintCommands.h"

namespace {

// A paint device that keeps every text drawn on it with its baseline point and font.
class RecordingDevice : public QPaintDevice {
public:
    struct Text {
        QString text;
        QPointF baseline;
        QFont font;
    };

    RecordingDevice(int dpiX, int dpiY) : m_dpiX(dpiX), m_dpiY(dpiY) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QList<Text>& Texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return m_dpiX;
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return m_dpiY;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:  // sizes in pixels and millimetres, depth, colours, the pixel ratio 1
                return m == PdmDevicePixelRatio ? 1 : 10000;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            texts.push_back({item.text(), p, item.font()});
        }
        Type type() const override { return User; }
        QList<Text> texts;
    };
    mutable Engine m_engine;
    int m_dpiX;
    int m_dpiY;
};

// A form showing a known image: channels 1, 2 and 16 in use, all "Wide".
struct Form {
    Form() {
        tones.Build();
        image = NewDocumentImage(RadioType::T310X);
        EditorModel model;
        DecodeImage(image, model);
        const auto channel = [&](int row, const char* rx, const char* tx, std::size_t rxTone,
                                 std::size_t txTone, const char* busy) {
            model.cells[row] = {"",   rx,     tx,    tones[rxTone], tones[txTone],
                                busy, "Wide", "Add", "High"};
        };
        channel(1, "450.00625", "455.12500", 5, 60, "YES");
        channel(2, "462.55000", "", 0, 0, "NO");
        channel(16, "469.99375", "469.99375", 50, 260, "NO");
        EncodeImage(model, image);
        view = std::make_unique<CKV_IIView>(tones, created);
        view->SetImage(&image);
        view->OnInitialUpdate();
    }
    QString Tone(std::size_t i) const { return QString::fromStdString(tones[i]); }

    ToneList tones;
    bool created = false;
    RadioImage image;
    std::unique_ptr<CKV_IIView> view;
};

QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A sheet whose every cell and setting text is distinct.
SheetData SampleSheet() {
    SheetData data;
    for (int i = 0; i < kSettingCount; ++i) {
        data.Text(Setting(i)) = QStringLiteral("setting%1").arg(i);
    }
    for (int c = 0; c < kGridCols; ++c) {
        data.Cell(0, c) = QString::fromUtf8(kColumnHeaders[c].data(), kColumnHeaders[c].size());
    }
    for (int r = 1; r < kGridRows; ++r) {
        data.Cell(r, 0) = QString::number(r);
        for (int c = 1; c < kGridCols; ++c) {
            data.Cell(r, c) = QStringLiteral("r%1c%2").arg(r).arg(c);
        }
    }
    return data;
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void layoutFollowsTheTwipsGrid_data();
    void layoutFollowsTheTwipsGrid();
    void wideNarrowSummarisesTheChannelsInUse();
    void pdfShowsTheFormAsItIsNow();
    void pdfReportsAFileItCannotWrite();
    void directPrintRefusesMissingPrinters();
    void previewShowsOnePage();
};

void PrintTest::layoutFollowsTheTwipsGrid_data() {
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("dpiX");
    QTest::addColumn<int>("dpiY");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("w");
    // h = ((height / 42) * 1440) / dpiY, w = (width * 1440 / dpiX - 900) / 60.
    // 6299 / 42 = 149 lines, 149 * 1440 / 300 = 715; 4850 * 1440 / 600 = 11640 -> 179.
    QTest::newRow("offset area, unequal dpi")
        << QRect(30, 40, 4850, 6299) << 600 << 300 << 715 << 179;
    // 6400 / 42 = 152, 152 * 1440 / 600 = 364; 4900 * 1440 / 600 = 11760 -> 181.
    QTest::newRow("letter at 600 dpi") << QRect(0, 0, 4900, 6400) << 600 << 600 << 364 << 181;
}

void PrintTest::layoutFollowsTheTwipsGrid() {
    QFETCH(QRect, area);
    QFETCH(int, dpiX);
    QFETCH(int, dpiY);
    QFETCH(int, h);
    QFETCH(int, w);
    RecordingDevice device(dpiX, dpiY);
    const SheetData data = SampleSheet();
    {
        QPainter painter(&device);
        DrawSettingsSheet(painter, area, dpiX, dpiY, data);
    }
    const QList<RecordingDevice::Text>& texts = device.Texts();
    QCOMPARE(texts.size(), 1 + 9 + 1 + 16 * 6);

    // Fonts: "Times New Roman" with an em of h (title 1.4 h) and an average character of w
    // (title 1.4 w), in device pixels.
    const auto lineAdvance = [&](const QFont& font) {
        const QFontMetricsF m(font, &device);
        return int((m.height() + qMax(0.0, m.leading())) * 1440 / dpiY);
    };
    const QFont& title = texts[0].font;
    const QFont& body = texts[1].font;
    for (const auto& [font, em, avg] :
         {std::tuple{title, int(h * 1.4), int(w * 1.4)}, std::tuple{body, h, w}}) {
        QCOMPARE(font.family(), QString("Times New Roman"));
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
        QVERIFY(qAbs(font.pointSizeF() * dpiY / 72 - em * dpiY / 1440.0) < 0.01);
        // The face has the metrics of "Times New Roman": its average character (lowercase
        // and space, frequency-weighted) is 0.4009 em and a digit 0.5 em, so stretched to an
        // average of avg a digit is avg * 0.5 / 0.4009 wide.
        const double digit = QFontMetricsF(font, &device).horizontalAdvance("0000000000") / 10;
        const double wantDigit = avg * dpiX / 1440.0 * 0.5 / 0.4009;
        QVERIFY2(qAbs(digit / wantDigit - 1) < 0.02,
                 qPrintable(QStringLiteral("digit %1 px, expected %2").arg(digit).arg(wantDigit)));
    }
    const int lt = lineAdvance(title);
    const int lb = lineAdvance(body);
    QVERIFY(lb > h && lb < 1.3 * h);

    // The expected texts with their top-left corners in twips, y negative down the page.
    QList<std::tuple<QString, int, int>> expected;
    int y = -(lt / 2);
    expected.push_back({"The Radio Settings", (area.width() / 2) * 1440 / dpiX - 14 * w, y});
    y -= lt;
    expected.push_back({"Function Setting:", 5 * w, y});
    y = int(y - 1.2 * lb);
    expected.push_back({"Type:   setting0", 2 * w, y});
    y -= lb;
    expected.push_back({"Frequency Field:setting1", 2 * w, y});
    y -= lb;
    expected.push_back({"Tx Total Time: setting2", 2 * w, y});
    expected.push_back({"Warning Setting: setting3", 31 * w, y});
    y -= lb;
    expected.push_back({"Squelch Level: setting4", 2 * w, y});
    expected.push_back({"W/N: Mixed", 31 * w, y});  // every row is in use, W/N all differ
    y -= lb;
    expected.push_back({"Moni: setting10", 2 * w, y});
    y -= lb;
    expected.push_back({"Channel Setting:", 5 * w, y});
    y = int(y - 1.2 * lb);
    expected.push_back({"CH    Rx(MHz)  Tx(MHz)     Rx Tone  Tx Tone     Busy", w, y});
    for (int r = 1; r < kGridRows; ++r) {
        y -= lb;
        expected.push_back({QString::number(r), w, y});
        for (const auto& [c, x] : {std::pair{1, 6}, {2, 18}, {3, 32}, {4, 42}, {5, 52}}) {
            expected.push_back({QStringLiteral("r%1c%2 ").arg(r).arg(c), x * w, y});
        }
    }
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const auto& [text, x, top] = expected[i];
        QCOMPARE(texts[i].text, text);
        const double ascent = QFontMetricsF(texts[i].font, &device).ascent();
        const QPointF want(area.left() + x * dpiX / 1440.0,
                           area.top() - top * dpiY / 1440.0 + ascent);
        // Text positions are kept in 1/64 pixel.
        const QPointF off = texts[i].baseline - want;
        QVERIFY2(qAbs(off.x()) <= 1.0 / 64 && qAbs(off.y()) <= 1.0 / 64, qPrintable(text));
    }
}

void PrintTest::wideNarrowSummarisesTheChannelsInUse() {
    SheetData data;
    QCOMPARE(WideNarrowSummary(data), QString());
    data.Cell(3, COL_WN) = "Narrow";  // a leftover text in an unused row counts for nothing
    QCOMPARE(WideNarrowSummary(data), QString());
    data.Cell(3, COL_TX_FREQ) = "460.00000";  // a transmit frequency alone puts it in use
    QCOMPARE(WideNarrowSummary(data), QString("Narrow"));
    data.Cell(9, COL_RX_FREQ) = "461.00000";
    data.Cell(9, COL_WN) = "Narrow";
    QCOMPARE(WideNarrowSummary(data), QString("Narrow"));
    data.Cell(12, COL_RX_FREQ) = "462.00000";
    data.Cell(12, COL_WN) = "Wide";
    QCOMPARE(WideNarrowSummary(data), QString("Mixed"));
    data.Cell(3, COL_TX_FREQ).clear();
    data.Cell(9, COL_RX_FREQ).clear();
    QCOMPARE(WideNarrowSummary(data), QString("Wide"));
}

void PrintTest::pdfShowsTheFormAsItIsNow() {
#ifdef _WIN32
    QSKIP(
        "poppler's pdfinfo and pdftotext read the PDF on Linux; under wine, print_wine.sh "
        "reads the Windows program's PDF with them");
#endif
    Form form;
    // Edits made after the image was decoded: the sheet shows the form, not the image.
    form.view->SettingCombo(Setting::TimeoutTimer)->setCurrentIndex(3);
    form.view->SettingCombo(Setting::Beep)->setCurrentIndex(-1);
    form.view->SettingCombo(Setting::SquelchLevel)->setCurrentIndex(4);
    form.view->SettingCombo(Setting::Moni)->setCurrentIndex(1);
    const QStringList row5 = {"461.02500", "", "OFF", "OFF", "NO", "Narrow", "Add", "Low"};
    for (int c = 1; c < kGridCols; ++c) {
        form.view->Grid().SetTextMatrix(5, c, row5[c - 1]);
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    QString error;
    QVERIFY2(PrintToPdf(SheetFromEditor(form.view->ReadEditor()), pdf, &error), qPrintable(error));
    const QString info = Run("pdfinfo", {pdf});
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is needed");
    QVERIFY(info.contains(QRegularExpression("Pages:\\s+1\\n")));
    QVERIFY(info.contains("(A4)"));

    QStringList lines;
    for (const QString& line : Run("pdftotext", {"-layout", pdf, "-"}).split('\n')) {
        if (!line.simplified().isEmpty()) {
            lines << line.simplified();
        }
    }
    QStringList expected = {
        "The Radio Settings",
        "Function Setting:",
        "Type: KV - T310X",
        "Frequency Field:450 - 470MHZ",
        "Tx Total Time: 90s Warning Setting:",
        "Squelch Level: 4 W/N: Mixed",
        "Moni: Monitor Momentary",
        "Channel Setting:",
        "CH Rx(MHz) Tx(MHz) Rx Tone Tx Tone Busy",
        "1 450.00625 455.12500 " + form.Tone(5) + " " + form.Tone(60) + " YES",
        "2 462.55000 OFF OFF NO",
    };
    for (int r = 3; r < 16; ++r) {
        expected << (r == 5 ? "5 461.02500 OFF OFF NO" : QString::number(r));
    }
    expected << "16 469.99375 469.99375 " + form.Tone(50) + " " + form.Tone(260) + " NO";
    QCOMPARE(lines, expected);
}

void PrintTest::pdfReportsAFileItCannotWrite() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("no-such-folder/sheet.pdf");
    QString error;
    QVERIFY(!PrintToPdf(SampleSheet(), pdf, &error));
    QVERIFY2(error.contains("no-such-folder/sheet.pdf"), qPrintable(error));
    QVERIFY(!QFile::exists(pdf));
}

void PrintTest::directPrintRefusesMissingPrinters() {
    Form form;
    QStringList shown;
    const MessageHandler old = SetMessageHandler([&](const MessageRequest& request) {
        shown << request.text;
        return QMessageBox::Ok;
    });
    CPrintCommands commands;
    QVERIFY(
        !commands.OnFilePrintDirect(form.view->ReadEditor(), nullptr, "kvprog-no-such-printer"));
    QCOMPARE(shown, QStringList{"The printer \"kvprog-no-such-printer\" is not available."});
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        shown.clear();
        QVERIFY(!commands.OnFilePrintDirect(form.view->ReadEditor(), nullptr));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith("No printer is available."), qPrintable(shown[0]));
    }
    SetMessageHandler(old);
}

void PrintTest::previewShowsOnePage() {
    Form form;
    CPrintCommands commands;
    int pages = -1;
    int ticks = 0;
    QTimer poll;  // closes the preview once it has laid out its pages, or after 5 s
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (preview && (preview->pageCount() > 0 || ++ticks > 250)) {
            pages = preview->pageCount();
            dialog->reject();
        }
    });
    poll.start(20);
    commands.OnFilePrintPreview(form.view->ReadEditor(), nullptr);
    QCOMPARE(pages, 1);
}

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
