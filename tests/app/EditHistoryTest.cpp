// Undo and redo in the desktop program: each commit, combo change and Optional Features OK
// is one step that undo takes back byte for byte; the save prompt follows the saved state.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ChannelClipboardCommands.h"
#include "ChannelCodec.h"
#include "CommandTable.h"
#include "FileDialog.h"
#include "FormTemplate.h"
#include "KV_IIApp.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MessageBox.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_HAS_ASAN 1
#endif
#endif
#ifndef KV_HAS_ASAN
#define KV_HAS_ASAN 0
#endif

namespace {

QByteArray Bytes(const RadioImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), RadioImage::size());
}

// Resident memory of this process in KiB.
long ResidentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Channels 1 to 5 in use, each with a bit the form does not show (bit 7 of flags).
RadioImage FiveChannelsInUse(RadioImage image) {
    for (int n = 1; n <= 5; ++n) {
        const std::size_t a = RadioImage::ChannelAddress(n);
        const std::uint32_t units = 45000000u + static_cast<std::uint32_t>(n) * 12500u;
        EditorModel model;
        DecodeImage(image, model);
        const QString mhz = QString::number(units / 100000.0, 'f', 5);
        model.cells[static_cast<std::size_t>(n)] = {std::to_string(n),
                                                    mhz.toStdString(),
                                                    mhz.toStdString(),
                                                    "OFF",
                                                    "OFF",
                                                    "NO",
                                                    "Wide",
                                                    "Add",
                                                    "High"};
        EncodeImage(model, image);
        image[a + rec::kChanFlags] |= 0x80;
    }
    return image;
}

}  // namespace

class EditHistoryTest : public QObject {
    Q_OBJECT

private:
    CKV_IIApp* app() { return theApp(); }
    CKV_IIView* view() { return app()->View(); }
    CKV_IIDoc* doc() { return app()->Document(); }
    CMainFrame* frame() { return app()->MainFrame(); }
    QString Cell(int row, int col) { return view()->Grid().GetTextMatrix(row, col); }
    QString UndoText() { return frame()->Action(ID_EDIT_UNDO)->text(); }
    QString RedoText() { return frame()->Action(ID_EDIT_REDO)->text(); }
    // A key where the keyboard is, or to the window when nothing in it has the focus.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : frame(), static_cast<Qt::Key>(key), modifiers);
    }
    // Types text where the keyboard is: the first key opens a cell's editor, which then
    // takes the rest.
    void Type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
    }
    void Start() {
        QCOMPARE(app()->InitInstance({}), CKV_IIApp::StartResult::Run);
        frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame()));
    }

    QStringList m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    QString m_file;

private slots:
    void init() {
        m_messages.clear();
        m_answer = QMessageBox::Ok;
        SetMessageHandler([this](const MessageRequest& request) {
            m_messages << request.text;
            return m_answer;
        });
        SetFileDialogHandler([this](const FileDialogRequest&) { return m_file; });
    }
    void cleanup() {
        app()->ExitInstance();
        SetMessageHandler(nullptr);
        SetFileDialogHandler(nullptr);
    }

    void cellCommitsAreUndoneAndRedoneByKeys() {
        Start();
        const QByteArray start = Bytes(doc()->m_image);
        QCOMPARE(UndoText(), QString("&Undo\tCtrl+Z"));
        CMSFlexGrid& grid = view()->Grid();
        grid.SetRow(3);
        grid.SetCol(COL_RX_FREQ);
        grid.setFocus();
        Type("450.00625");
        Key(Qt::Key_Return);  // commits, and opens the transmit frequency's editor
        QCOMPARE(Cell(3, COL_TX_FREQ), QString("450.00625"));
        const QByteArray edited = Bytes(doc()->m_image);
        QVERIFY(edited != start);  // the image follows the commit at once
        QVERIFY(doc()->IsModified());
        QCOMPARE(UndoText(), QString("&Undo Receive(MHz) of CH 3\tCtrl+Z"));

        // Undo inside the open editor: the editor closes without a step of its own (its text
        // is the cell's), then the commit is taken back, new-row defaults and all.
        auto* box = view()->findChild<QLineEdit*>(QString("ctl%1").arg(IDC_EDIT_CELL));
        QVERIFY(box->isVisible());
        Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!box->isVisible());
        QCOMPARE(Bytes(doc()->m_image), start);
        QCOMPARE(Cell(3, COL_RX_FREQ), QString());
        QCOMPARE(Cell(3, COL_POWER), QString());
        QVERIFY(!doc()->IsModified());
        QCOMPARE(RedoText(), QString("&Redo Receive(MHz) of CH 3\tCtrl+Y"));

        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), edited);
        QCOMPARE(Cell(3, COL_TX_FREQ), QString("450.00625"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Bytes(doc()->m_image), edited);

        // An edit still open when Undo comes is committed first and is what Undo takes back.
        grid.SetRow(3);
        grid.SetCol(COL_RX_FREQ);
        grid.setFocus();
        Type("460");
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cell(3, COL_RX_FREQ), QString("450.00625"));
        QCOMPARE(Bytes(doc()->m_image), edited);
        QCOMPARE(RedoText(), QString("&Redo Receive(MHz) of CH 3\tCtrl+Y"));

        // A commit that changes nothing is no step.
        const int steps = doc()->History().index();
        grid.SetCol(COL_POWER);
        view()->ShowCellEditor(0);
        Key(Qt::Key_Return);
        QCOMPARE(doc()->History().index(), steps);
    }

    void comboAndOptionalFeaturesAreSteps() {
        Start();
        const QByteArray start = Bytes(doc()->m_image);
        QComboBox* beep = view()->SettingCombo(Setting::Beep);
        beep->setFocus();
        const QString before = beep->currentText();
        Key(beep->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(beep->currentText() != before);
        QCOMPARE(UndoText(), QString("&Undo Beep\tCtrl+Z"));
        const QByteArray beeped = Bytes(doc()->m_image);
        QVERIFY(beeped != start);

        // Optional Features: change the first switch and press OK. The dialog is closed
        // whatever it holds, so a dialog without switches fails the case instead of hanging it.
        bool changed = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&watch, &changed] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            watch.stop();
            const QList<QComboBox*> combos = dialog->findChildren<QComboBox*>();
            if (!combos.isEmpty()) {
                QComboBox* last = combos.last();
                last->setCurrentIndex((last->currentIndex() + 1) % last->count());
                changed = true;
            }
            dialog->accept();
        });
        watch.start(10);
        frame()->OnCommand(ID_OPTIONAL_FEATURES);
        QVERIFY(changed);
        const QByteArray featured = Bytes(doc()->m_image);
        QVERIFY(featured != beeped);
        QCOMPARE(UndoText(), QString("&Undo Optional Features\tCtrl+Z"));
        frame()->activateWindow();  // the closed dialog leaves no window active offscreen
        QVERIFY(QTest::qWaitForWindowActive(frame()));

        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), beeped);
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), start);
        QCOMPARE(beep->currentText(), before);
        Key(Qt::Key_Y, Qt::ControlModifier);
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), featured);
    }

    void savePromptFollowsTheSavedState() {
        Start();
        QTemporaryDir dir;
        QComboBox* squelch = view()->SettingCombo(Setting::SquelchLevel);
        squelch->setCurrentIndex(3);
        m_file = dir.filePath("saved.sin");
        frame()->OnCommand(ID_FILE_SAVE);
        QVERIFY(!doc()->IsModified());
        squelch->setCurrentIndex(5);
        QVERIFY(doc()->IsModified());
        squelch->setFocus();
        Key(Qt::Key_Z, Qt::ControlModifier);  // back to what was saved
        QCOMPARE(squelch->currentText(), QString("3"));
        QVERIFY(!doc()->IsModified());
        frame()->OnCommand(ID_FILE_NEW);
        QVERIFY(m_messages.isEmpty());         // nothing unsaved: no question
        QVERIFY(!doc()->History().canUndo());  // New clears the history

        squelch->setCurrentIndex(5);
        m_answer = QMessageBox::Cancel;
        frame()->OnCommand(ID_FILE_NEW);
        QCOMPARE(m_messages.size(), 1);
    }

    void channelRowsMoveWholeRecords() {
        Start();
        const RadioImage image = FiveChannelsInUse(doc()->m_image);
        doc()->m_image = image;
        view()->DecodeImage();
        const auto record = [](const RadioImage& from, int n) {
            return Bytes(from).mid(static_cast<int>(RadioImage::ChannelAddress(n)), 16);
        };
        CMSFlexGrid& grid = view()->Grid();
        const auto headerOf = [&grid](int row) {
            grid.scrollToItem(grid.item(row, 0));
            return grid.visualItemRect(grid.item(row, 0)).center();
        };
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, headerOf(3));
        QCOMPARE(grid.SelectedRows(), (QList<int>{2, 3}));
        Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(grid.SelectedRows(), (QList<int>{3, 4}));
        QCOMPARE(record(doc()->m_image, 3), record(image, 2));
        QCOMPARE(record(doc()->m_image, 4), record(image, 3));
        QCOMPARE(record(doc()->m_image, 2), record(image, 4));
        QCOMPARE(UndoText(), QString("&Undo Move Down of 2 Channels\tCtrl+Z"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), Bytes(image));

        // Insert before channel 2, then delete it again: every other channel is kept whole.
        grid.SelectRows({2});
        frame()->OnCommand(ID_INSERT_CHANNEL);
        QCOMPARE(Cell(2, COL_RX_FREQ), QString());
        for (int n = 3; n <= 6; ++n) {
            QCOMPARE(record(doc()->m_image, n), record(image, n - 1));
        }
        QCOMPARE(record(doc()->m_image, 1), record(image, 1));
        frame()->OnCommand(ID_DELETE_CHANNEL);
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(record(doc()->m_image, n), record(image, n));
        }

        // Ctrl+click adds a channel; Delete clears the chosen ones.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, headerOf(4));
        QCOMPARE(grid.SelectedRows(), (QList<int>{1, 4}));
        Key(Qt::Key_Delete);
        QCOMPARE(Cell(1, COL_RX_FREQ), QString());
        QCOMPARE(Cell(4, COL_POWER), QString());
        QCOMPARE(record(doc()->m_image, 2), record(image, 2));
        QCOMPARE(UndoText(), QString("&Undo Clear of 2 Channels\tCtrl+Z"));

        // Channel 16 in use: no insert, and a word why.
        grid.SelectRows({16});
        frame()->OnCommand(ID_MOVE_CHANNEL_DOWN);  // at the edge: nothing
        grid.SelectRows({3});
        for (int i = 0; i < 13; ++i) {
            frame()->OnCommand(ID_MOVE_CHANNEL_DOWN);
        }
        QCOMPARE(grid.SelectedRows(), (QList<int>{16}));
        const QByteArray full = Bytes(doc()->m_image);
        grid.SelectRows({1});
        frame()->OnCommand(ID_INSERT_CHANNEL);
        QCOMPARE(Bytes(doc()->m_image), full);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains("Channel 16 is in use"));
    }

    // Channels copied and pasted by keys keep every byte; cells from a spreadsheet are checked
    // as an import is, and a paste that cannot be done whole changes nothing.
    void channelsGoThroughTheClipboard() {
        Start();
        const RadioImage image = FiveChannelsInUse(doc()->m_image);
        doc()->m_image = image;
        view()->DecodeImage();
        const auto record = [](const RadioImage& from, int n) {
            return Bytes(from).mid(static_cast<int>(RadioImage::ChannelAddress(n)), 16);
        };
        CMSFlexGrid& grid = view()->Grid();
        const auto headerOf = [&grid](int row) {
            grid.scrollToItem(grid.item(row, 0));
            return grid.visualItemRect(grid.item(row, 0)).center();
        };
        QClipboard* clipboard = QGuiApplication::clipboard();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, headerOf(3));
        Key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->mimeData()->data(kChannelRecordsMime).size(), 32);
        const QStringList lines = clipboard->text().split("\r\n");
        QCOMPARE(
            lines[0],
            QString("CH\tReceive(MHz)\tTransmit(MHz)\tRx Tone\tTx Tone\tBusy\tW/N\tScan\tPower"));
        QCOMPARE(lines[1], QString("2\t450.25000\t450.25000\tOFF\tOFF\tNO\tWide\tAdd\tHigh"));
        QCOMPARE(Bytes(doc()->m_image), Bytes(image));

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(7));
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(record(doc()->m_image, 7), record(image, 2));
        QCOMPARE(record(doc()->m_image, 8), record(image, 3));
        QCOMPARE(grid.SelectedRows(), (QList<int>{7, 8}));
        QCOMPARE(UndoText(), QString("&Undo Paste of 2 Channels\tCtrl+Z"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), Bytes(image));

        // Cells as a spreadsheet copies them, columns named by the header, "CH" ignored.
        clipboard->setText("CH\tReceive(MHz)\tPower\r\n1\t462.5625\tlow\r\n2\t463\t\r\n");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(10));
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Cell(10, COL_RX_FREQ), QString("462.56250"));
        QCOMPARE(Cell(10, COL_POWER), QString("Low"));
        QCOMPARE(Cell(11, COL_RX_FREQ), QString("463.00000"));
        QCOMPARE(Cell(11, COL_POWER), QString("High"));
        QCOMPARE(record(doc()->m_image, 1), record(image, 1));
        const QByteArray pasted = Bytes(doc()->m_image);

        // Refused whole: a bad frequency in the third row, or rows running past channel 16.
        clipboard->setText("CH\tReceive(MHz)\r\n1\t451\r\n2\t470.005\r\n");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(12));
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), pasted);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].contains("row 3, column \"Receive(MHz)\", value \"470.005\""),
                 qPrintable(m_messages[0]));
        clipboard->setText("451\r\n452\r\n");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(16));
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), pasted);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY2(m_messages[1].contains("run past channel 16"), qPrintable(m_messages[1]));

        // Cut is a copy and a clear in one step.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, headerOf(1));
        Key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(Cell(1, COL_RX_FREQ), QString());
        QCOMPARE(clipboard->mimeData()->data(kChannelRecordsMime), record(image, 1));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Bytes(doc()->m_image), pasted);

        // In an open cell editor the keys are the editor's own.
        clipboard->setText("7");
        grid.SetRow(5);
        grid.SetCol(COL_RX_FREQ);
        grid.setFocus();
        Type("45");
        Key(Qt::Key_V, Qt::ControlModifier);
        auto* box = view()->findChild<QLineEdit*>(QString("ctl%1").arg(IDC_EDIT_CELL));
        QCOMPARE(box->text(), QString("457"));
        QCOMPARE(Bytes(doc()->m_image), pasted);
    }

    void tenThousandStepsStayFewMegabytes() {
#if defined(__SANITIZE_ADDRESS__) || KV_HAS_ASAN
        QSKIP(
            "AddressSanitizer pads every allocation and keeps freed memory in quarantine: "
            "the growth is measured in the regular build");
#endif
        Start();
        const long before = ResidentKiB();
        if (before < 0) {
            QSKIP("the resident memory is read from Linux's /proc");
        }
        for (int i = 0; i < 10000; ++i) {
            const RadioImage old = doc()->m_image;
            doc()->m_image[addr::kSquelchLevel] = static_cast<std::uint8_t>(i % 10);
            doc()->m_image[addr::kChannelBase + static_cast<std::size_t>(i % 256)] ^= 0x5A;
            doc()->RecordChange(old, QStringLiteral("Squelch Level"));
        }
        QVERIFY(doc()->History().count() >= 9990);
        const long grown = ResidentKiB() - before;
        QVERIFY2(grown < 20 * 1024, qPrintable(QString("grew %1 KiB").arg(grown)));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    CKV_IIApp app(argc, argv);
    EditHistoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditHistoryTest.moc"
