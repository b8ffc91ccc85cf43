// Editing channels the way a user does: keys and mouse clicks on the real form, with every
// message box recorded (text, caption, icon) and answered.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "ChannelCodec.h"
#include "FormTemplate.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"
#include "NewDocument.h"

namespace {

const QString kFormat = "Error Data Format，Please input again";
const QString kRange = "Out of range!";
const QString kStep = "Error data Value，Please input according the step value(6.25K/5k)";

using Row = QStringList;

}  // namespace

class CellEditingTest : public QObject {
    Q_OBJECT

private:
    CMSFlexGrid& grid() { return m_view->Grid(); }
    QWidget* focus() { return QApplication::focusWidget(); }
    QWidget* Editor(int id) { return FindControlWidget(m_view.get(), id); }
    Row RowTexts(int row) {
        Row texts;
        for (int c = 1; c < 9; ++c)
            texts << grid().GetTextMatrix(row, c);
        return texts;
    }
    void SetRow(int row, const Row& texts) {
        for (int c = 1; c < 9; ++c)
            grid().SetTextMatrix(row, c, texts[c - 1]);
    }
    QPoint CellCentre(int row, int col) {
        return grid().visualRect(grid().model()->index(row, col)).center();
    }
    void Click(int row, int col, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(grid().viewport(), button, {}, CellCentre(row, col));
    }
    // Each key goes where the keyboard focus is at that moment, as typing does.
    void Type(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(focus(), c.toLatin1());
    }
    void Key(Qt::Key key) { QTest::keyClick(focus(), key); }
    void GoTo(int row, int col) {
        grid().SetRow(row);
        grid().SetCol(col);
        grid().setFocus();
    }
    // Types text into the cell at (row, col), starting from the grid.
    void TypeInto(int row, int col, const QString& text) {
        GoTo(row, col);
        Type(text);
    }

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<CKV_IIView> m_view;
    ToneList m_tones;
    bool m_created = false;
    RadioImage m_image;
    QList<MessageRequest> m_boxes;
    QStringList Texts() {
        QStringList texts;
        for (const auto& box : m_boxes)
            texts << box.text;
        return texts;
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstFrequencyMakesANewChannel();
    void frequencyChecksOnEnter_data();
    void frequencyChecksOnEnter();
    void frequencyChecksOnLeavingTheCell_data();
    void frequencyChecksOnLeavingTheCell();
    void clearingFrequenciesClearsTonesThenTheChannel();
    void tonesAreStoredAsTheListWritesThem();
    void valuesNeedAFrequencyInTheRow();
    void typedKeysSeedTheEditor();
    void enterWalksThroughAChannelAndStopsAfterTheLast();
    void wnColumnAndTheRightButtonOpenNothing();
    void listEditorsShowTheirLongestItem();
    void anOpenEditIsCommittedOnRequest();
    void hintsNameWhatIsUnderThePointer();
    void aWholeTableFromTheKeyboard();
};

void CellEditingTest::initTestCase() {
    m_tones.Build();
}

void CellEditingTest::init() {
    m_boxes.clear();
    SetMessageHandler([this](const MessageRequest& request) {
        m_boxes << request;
        return QMessageBox::Ok;
    });
    m_created = false;
    m_image = NewDocumentImage(RadioType::T310X);
    m_window = std::make_unique<QWidget>();
    m_view = std::make_unique<CKV_IIView>(m_tones, m_created, m_window.get());
    m_view->SetImage(&m_image);
    m_view->OnInitialUpdate();
    m_window->resize(m_view->size());
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QApplication::clipboard()->setText("the user's own clipboard");
}

void CellEditingTest::cleanup() {
    QCOMPARE(QApplication::clipboard()->text(), QString("the user's own clipboard"));
    m_view.reset();
    m_window.reset();
    SetMessageHandler(nullptr);
}

void CellEditingTest::firstFrequencyMakesANewChannel() {
    QSignalSpy edits(m_view.get(), &CKV_IIView::edited);
    TypeInto(1, COL_RX_FREQ, "450.00625");
    QCOMPARE(static_cast<QLineEdit*>(Editor(IDC_EDIT_CELL))->text(), QString("450.00625"));
    Click(3, COL_RX_FREQ);  // leaving the cell commits it
    QCOMPARE(RowTexts(1),
             (Row{"450.00625", "450.00625", "OFF", "OFF", "NO", "Wide", "Add", "High"}));
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(edits.count() > 0);

    // A first transmit frequency does not copy itself into receive.
    TypeInto(2, COL_TX_FREQ, "451");
    Key(Qt::Key_Return);
    QCOMPARE(RowTexts(2), (Row{"", "451.00000", "OFF", "OFF", "NO", "Wide", "Add", "High"}));
}

void CellEditingTest::frequencyChecksOnEnter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("whole MHz") << "450"
                               << "450.00000" << QStringList{};
    QTest::newRow("band top") << "470"
                              << "470.00000" << QStringList{};
    QTest::newRow("5 kHz step") << "450.005"
                                << "450.00500" << QStringList{};
    QTest::newRow("leading number") << "455x"
                                    << "455.00000" << QStringList{};
    QTest::newRow("above the band, on step") << "470.005"
                                             << "" << QStringList{kRange};
    QTest::newRow("above the band, off step") << "470.003"
                                              << "" << QStringList{kRange};
    QTest::newRow("off step") << "450.003"
                              << "" << QStringList{kStep};
    QTest::newRow("below 60 MHz") << "59.99"
                                  << "" << QStringList{kFormat};
    QTest::newRow("above 600 MHz") << "600.01"
                                   << "" << QStringList{kFormat};
}

void CellEditingTest::frequencyChecksOnEnter() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QStringList, messages);
    TypeInto(4, COL_RX_FREQ, typed);
    Key(Qt::Key_Return);
    QCOMPARE(Texts(), messages);
    auto* box = static_cast<QLineEdit*>(Editor(IDC_EDIT_CELL));
    QCOMPARE(grid().GetTextMatrix(4, COL_RX_FREQ), stored);
    if (stored.isEmpty()) {
        // Refused: the box stays open, emptied, with the keyboard; the cell is untouched.
        QVERIFY(box->isVisible());
        QCOMPARE(box->text(), QString());
        QCOMPARE(focus(), box);
        QCOMPARE(grid().GetCol(), long(COL_RX_FREQ));
    } else {
        // Accepted: the editor moves on to the transmit frequency, which holds the copy.
        QVERIFY(box->isVisible());
        QCOMPARE(grid().GetCol(), long(COL_TX_FREQ));
        QCOMPARE(box->text(), stored);
    }
    if (!m_boxes.isEmpty() && m_boxes[0].text == kRange) {
        QCOMPARE(m_boxes[0].caption, QString("Prompt"));
        QCOMPARE(m_boxes[0].icon, QMessageBox::Information);
    } else if (!m_boxes.isEmpty()) {
        QCOMPARE(m_boxes[0].caption, QString("Korvane Programming Software"));
        QCOMPARE(m_boxes[0].icon, QMessageBox::Warning);
    }
}

void CellEditingTest::frequencyChecksOnLeavingTheCell_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("above the band, on step") << "470.005" << QStringList{kRange};
    QTest::newRow("above the band, off step") << "470.003" << QStringList{kRange, kStep};
    QTest::newRow("off step") << "450.003" << QStringList{kStep};
    QTest::newRow("not a number") << "abc" << QStringList{kFormat};
}

void CellEditingTest::frequencyChecksOnLeavingTheCell() {
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    const Row stored = {"462.56250", "", "67.0", "", "YES", "Narrow", "Delete", "Low"};
    SetRow(5, stored);
    GoTo(5, COL_RX_FREQ);
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, CellCentre(5, COL_RX_FREQ));
    Type(typed);
    m_boxes.clear();  // a non-digit first key warns; that is not what is checked here
    Click(6, COL_RX_FREQ);
    QCOMPARE(Texts(), messages);
    // One typo does not destroy a stored channel.
    QCOMPARE(RowTexts(5), stored);
    QVERIFY(!Editor(IDC_EDIT_CELL)->isVisible() || grid().GetRow() == 6);
}

void CellEditingTest::clearingFrequenciesClearsTonesThenTheChannel() {
    SetRow(7, {"450.00000", "451.00000", "67.0", "D023N", "YES", "Narrow", "Delete", "Low"});
    GoTo(7, COL_RX_FREQ);
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, CellCentre(7, COL_RX_FREQ));
    Key(Qt::Key_Backspace);  // the whole text was selected
    Click(8, COL_RX_FREQ);
    QCOMPARE(RowTexts(7), (Row{"", "451.00000", "", "D023N", "YES", "Narrow", "Delete", "Low"}));

    TypeInto(7, COL_TX_FREQ, "1");
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    QCOMPARE(RowTexts(7), (Row{"", "", "", "", "", "", "", ""}));
    QVERIFY(m_boxes.isEmpty());
}

void CellEditingTest::tonesAreStoredAsTheListWritesThem() {
    QSignalSpy said(m_view.get(), &CKV_IIView::statusMessage);
    SetRow(2, {"450.00000", "450.00000", "OFF", "OFF", "NO", "Wide", "Add", "High"});
    TypeInto(2, COL_RX_TONE, "d023n");
    Key(Qt::Key_Return);
    QCOMPARE(grid().GetTextMatrix(2, COL_RX_TONE), QString("D023N"));
    // Enter moved the editor on to the transmit tone.
    QCOMPARE(grid().GetCol(), long(COL_TX_TONE));
    Type("123.4");
    Click(3, COL_RX_FREQ);
    QCOMPARE(grid().GetTextMatrix(2, COL_TX_TONE), QString("OFF"));
    TypeInto(2, COL_TX_TONE, "d754i");
    Click(3, COL_RX_FREQ);
    QCOMPARE(grid().GetTextMatrix(2, COL_TX_TONE), QString("D754I"));
    // Only the value that was not a tone is reported.
    QCOMPARE(said.count(), 1);
    QCOMPARE(said[0][0].toString(),
             QString("123.4 is not a tone of the list: Tx Tone of CH 2 set to OFF"));
}

void CellEditingTest::valuesNeedAFrequencyInTheRow() {
    TypeInto(9, COL_RX_TONE, "67.0");
    Click(10, COL_RX_TONE);
    QCOMPARE(grid().GetTextMatrix(9, COL_RX_TONE), QString());
    GoTo(9, COL_BUSY);
    Click(9, COL_BUSY);
    Key(Qt::Key_Return);
    QCOMPARE(RowTexts(9), (Row{"", "", "", "", "", "", "", ""}));
}

void CellEditingTest::typedKeysSeedTheEditor() {
    SetRow(3, {"462.56250", "462.56250", "OFF", "OFF", "NO", "Wide", "Add", "High"});
    TypeInto(3, COL_RX_FREQ, "4");
    auto* box = static_cast<QLineEdit*>(Editor(IDC_EDIT_CELL));
    QCOMPARE(box->text(), QString("4"));  // the key replaces the cell's text
    QCOMPARE(box->cursorPosition(), 1);
    Key(Qt::Key_Escape);  // back to the cell's own text
    QCOMPARE(box->text(), QString("462.56250"));
    Type("4");
    Click(3, COL_TX_FREQ);
    QCOMPARE(Texts(), QStringList{kFormat});  // "4" was checked on leaving, and refused
    QCOMPARE(grid().GetTextMatrix(3, COL_RX_FREQ), QString("462.56250"));

    m_boxes.clear();
    TypeInto(11, COL_RX_FREQ, "x");
    QCOMPARE(Texts(), QStringList{"Please input Number"});  // a warning only: the edit goes on
    QVERIFY(box->isVisible());
    // The editor covers the cell it edits.
    const QRect cell = grid().visualRect(grid().model()->index(11, COL_RX_FREQ));
    const QRect onGrid(grid().viewport()->mapTo(&grid(), cell.topLeft()), cell.size());
    QVERIFY(box->geometry().adjusted(-4, -4, 4, 4).contains(onGrid));
    // Escape opens an editor on the cell's text instead of emptying it.
    grid().SetCol(COL_TX_FREQ);
    SetRow(11, {"", "455.00000", "", "", "", "", "", ""});
    GoTo(11, COL_TX_FREQ);
    QTest::keyClick(&grid(), Qt::Key_Escape);
    QCOMPARE(box->text(), QString("455.00000"));
}

void CellEditingTest::enterWalksThroughAChannelAndStopsAfterTheLast() {
    SetRow(15, {"450.00000", "450.00000", "OFF", "OFF", "NO", "Wide", "Add", "High"});
    SetRow(16, {"451.00000", "451.00000", "OFF", "OFF", "NO", "Wide", "Add", "High"});
    GoTo(15, COL_BUSY);
    Key(Qt::Key_Return);  // on the grid: one cell to the right
    QCOMPARE(grid().GetCol(), long(COL_WN));
    Key(Qt::Key_Return);  // in the W/N column Enter is Tab: the grid loses the keyboard
    QVERIFY(focus() != &grid() && !grid().isAncestorOf(focus()));

    GoTo(15, COL_POWER);
    Click(15, COL_POWER);
    Key(Qt::Key_Down);  // "Middle"
    Key(Qt::Key_Return);
    QCOMPARE(grid().GetTextMatrix(15, COL_POWER), QString("Middle"));
    QCOMPARE(grid().GetRow(), 16L);  // on to the next channel's receive frequency
    QCOMPARE(grid().GetCol(), long(COL_RX_FREQ));
    QCOMPARE(focus(), Editor(IDC_EDIT_CELL));

    GoTo(16, COL_POWER);
    Click(16, COL_POWER);
    Key(Qt::Key_Return);
    QCOMPARE(grid().GetRow(), 16L);  // no wrap to channel 1
    for (int id : {IDC_EDIT_CELL, IDC_COMBO_TONE, IDC_COMBO_BUSY, IDC_COMBO_WN, IDC_COMBO_SCAN,
                   IDC_COMBO_POWER}) {
        QVERIFY(!Editor(id)->isVisible());
    }
}

void CellEditingTest::wnColumnAndTheRightButtonOpenNothing() {
    SetRow(4, {"450.00000", "450.00000", "OFF", "OFF", "NO", "Wide", "Add", "High"});
    TypeInto(4, COL_WN, "n");
    QVERIFY(!Editor(IDC_COMBO_WN)->isVisible());
    Click(4, COL_SCAN, Qt::RightButton);
    QVERIFY(!Editor(IDC_COMBO_SCAN)->isVisible());
    Click(4, COL_WN);  // the mouse does edit W/N
    QVERIFY(Editor(IDC_COMBO_WN)->isVisible());
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    QCOMPARE(grid().GetTextMatrix(4, COL_WN), QString("Narrow"));
    QVERIFY(Editor(IDC_COMBO_SCAN)->isVisible());  // and Enter moved on to Scan
}

// Each list editor's field shows every item whole ("Narrow", not "Narrov"), however narrow
// its column is for the font.
void CellEditingTest::listEditorsShowTheirLongestItem() {
    for (const int col : {COL_BUSY, COL_WN, COL_SCAN, COL_POWER}) {
        Click(5, col);
        auto* combo = qobject_cast<QComboBox*>(m_view->GetCellEditor());
        QVERIFY(combo && combo->isVisible());
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.rect = combo->rect();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i) {
            QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= field.width(),
                     qPrintable(combo->itemText(i)));
        }
    }
}

void CellEditingTest::anOpenEditIsCommittedOnRequest() {
    TypeInto(12, COL_RX_FREQ, "460.0125");
    m_view->OnLeaveCellGrid();  // what a transfer or a save does first
    QCOMPARE(grid().GetTextMatrix(12, COL_RX_FREQ), QString("460.01250"));
    QVERIFY(!Editor(IDC_EDIT_CELL)->isVisible());
    m_view->EncodeImage();
    QCOMPARE(ReadFrequency(m_image, RadioImage::ChannelAddress(12)),
             std::optional<std::uint32_t>(46001250));
    m_view->OnLeaveCellGrid();  // nothing open: nothing happens
    QCOMPARE(grid().GetTextMatrix(12, COL_RX_FREQ), QString("460.01250"));
}

void CellEditingTest::hintsNameWhatIsUnderThePointer() {
    GoTo(2, COL_RX_TONE);  // the overlay editors are made when a cell is first entered
    const QString combo = "Please click the CommBox to choose value";
    QCOMPARE(m_view->HintFor(m_view->SettingCombo(Setting::Beep)), combo);
    QCOMPARE(m_view->HintFor(Editor(IDC_COMBO_POWER)), combo);
    QCOMPARE(m_view->HintFor(&grid()), QString("Please Click the cell to edit or input data"));
    QCOMPARE(m_view->HintFor(grid().viewport()),
             QString("Please Click the cell to edit or input data"));
    const QString help = "For help，please press F1";
    QCOMPARE(m_view->HintFor(m_view.get()), help);
    QCOMPARE(m_view->HintFor(Editor(IDC_EDIT_CELL)), help);
    QCOMPARE(m_view->HintFor(static_cast<QComboBox*>(Editor(IDC_COMBO_TONE))->lineEdit()), help);
}

void CellEditingTest::aWholeTableFromTheKeyboard() {
    // Channel n: receive 450 + n x 0.0125 MHz, transmit 5 MHz above, tones from the list.
    EditorModel expected;
    DecodeImage(m_image, expected);
    GoTo(1, COL_RX_FREQ);
    for (int n = 1; n <= 16; ++n) {
        const QString rx = QString::number(450 + n * 0.0125, 'f', 5);
        const QString tx = QString::number(455 + n * 0.0125, 'f', 5);
        const QString rxTone = QString::fromStdString(m_tones[static_cast<std::size_t>(n)]);
        const QString txTone = QString::fromStdString(m_tones[static_cast<std::size_t>(50 + n)]);
        // The first key opens the editor from the grid; after that, Enter on the previous
        // channel's Power has opened it already.
        Type(rx);
        Key(Qt::Key_Return);
        Type(tx);
        Key(Qt::Key_Return);
        Type(rxTone);
        Key(Qt::Key_Return);
        Type(txTone);
        Key(Qt::Key_Return);
        if (n % 2 == 0)
            Key(Qt::Key_Up);  // Busy "YES"
        Key(Qt::Key_Return);
        if (n % 3 == 0)
            Key(Qt::Key_Down);  // W/N "Narrow"
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);  // Scan "Add"
        if (n % 4 == 0)
            Key(Qt::Key_Down);  // Power "Middle"
        Key(Qt::Key_Return);
        expected.cells[n] = {std::to_string(n),
                             rx.toStdString(),
                             tx.toStdString(),
                             rxTone.toStdString(),
                             txTone.toStdString(),
                             n % 2 == 0 ? "YES" : "NO",
                             n % 3 == 0 ? "Narrow" : "Wide",
                             "Add",
                             n % 4 == 0 ? "Middle" : "High"};
    }
    QVERIFY2(m_boxes.isEmpty(), qPrintable(Texts().join("; ")));
    RadioImage want = m_image;
    EncodeImage(expected, want);
    m_view->EncodeImage();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(m_image.data()), 1024),
             QByteArray(reinterpret_cast<const char*>(want.data()), 1024));
    // Channel 1 as the radio receives it.
    const std::uint8_t record[] = {0x50, 0x12, 0x00, 0x45, 0x50, 0x12, 0x50, 0x45,
                                   0x70, 0x06, 0x23, 0x80, 0xDB, 0x01, 0x01};
    for (std::size_t i = 0; i < sizeof record; ++i) {
        QCOMPARE(m_image[RadioImage::ChannelAddress(1) + i], record[i]);
    }
}

QTEST_MAIN(CellEditingTest)
#include "CellEditingTest.moc"
