// The test mode dialog driven as a technician drives it: tree, band settings, Enter,
// Default, the slider and Start, against a recording exchange and a scripted radio.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "MessageBox.h"
#include "TestModeDlg.h"
#include "TestModeFakes.h"
#include "TestModeTemplate.h"
#include "ToneList.h"

namespace {

const ToneList& Tones() {
    static ToneList list;
    if (list.size() == 0) {
        list.Build();
    }
    return list;
}

// Start destroys its port; the scripted radio behind it lives on for the test to inspect.
class CPortProxy final : public IPort {
public:
    explicit CPortProxy(IPort& port) : m_port(port) {}
    Result<> Open(const std::string& name, const CommTimeouts& t) override {
        return m_port.Open(name, t);
    }
    void SetTimeouts(const CommTimeouts& t) override { m_port.SetTimeouts(t); }
    void Purge(PurgeSet which) override { m_port.Purge(which); }
    bool Send(std::span<const std::uint8_t> bytes) override { return m_port.Send(bytes); }
    ReceiveResult Receive(std::span<std::uint8_t> b) override { return m_port.Receive(b); }
    void Close() override { m_port.Close(); }
    bool IsOpen() const override { return m_port.IsOpen(); }

private:
    IPort& m_port;
};

bool Contains(const Bytes& bytes, const Bytes& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

// The radio buttons checked when the dialog opens: QT, 5.00KHZ, High(MHz).
const QList<int> kOpening = {IDC_RX_QT, IDC_TX_QT, IDC_HIGH, IDC_RX_STEP500, IDC_TX_STEP500};

// The same, with another band's button checked: a band as it opens.
QList<int> Opening(int bandButton) {
    QList<int> ids = kOpening;
    ids[2] = bandButton;
    return ids;
}

int FocusId() {
    QWidget* w = QApplication::focusWidget();
    while (w && ControlId(w) == -1) {
        w = w->parentWidget();
    }
    return w ? ControlId(w) : -1;
}

}  // namespace

class TestModeDlgTest : public QObject {
    Q_OBJECT

    void Open(const QString& field = "450 - 470MHZ") {
        m_dlg = std::make_unique<CTestModeDlg>(
            Tones(), "COM3",
            [this](const std::string&) {
                ++m_portsMade;
                return std::make_unique<CPortProxy>(*m_radio);
            },
            field);
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    // Start's requests, one line a press, caught before any byte would be sent.
    void RecordRequests() {
        m_dlg->SetRunner([this](IPort& port, IExchangeHooks&, const std::string& name,
                                const TestModeRequest& r) {
            port.Open(name, kTestTimeouts);  // left open: the dialog must close it
            m_requests << QString("item %1, %2/%3, %4/%5, %6")
                              .arg(static_cast<int>(r.item))
                              .arg(r.rxUnits)
                              .arg(r.txUnits)
                              .arg(QString::fromStdString(r.rxTone),
                                   QString::fromStdString(r.txTone))
                              .arg(r.value);
            return Result<TestModeEnd>{};
        });
    }

    template <typename T = QWidget>
    T* W(int id) const {
        return FindControl<T>(m_dlg.get(), id);
    }
    QString Text(int id) const { return W<QLineEdit>(id)->text(); }
    QString Shown(int id) const { return W<QComboBox>(id)->currentText(); }
    bool Checked(int id) const { return W<QRadioButton>(id)->isChecked(); }
    bool Visible(int id) const { return W(id)->isVisible(); }
    QString Caption() const { return W<QGroupBox>(IDC_CAPTION_GROUP)->title(); }
    // The item's value as the position text and the slider show it.
    QString Value() const {
        return W<QLabel>(IDC_POSITION)->text() + " @" +
               QString::number(W<QSlider>(IDC_VALUE_SLIDER)->value());
    }
    void Click(int id) const { QTest::mouseClick(W(id), Qt::LeftButton); }
    void Key(int id, Qt::Key key) const { QTest::keyClick(W(id), key); }

    // The ids of the dialog's visible controls, or of its checked radio buttons.
    QList<int> Ids(bool checkedRadios) const {
        QList<int> ids;
        for (const QWidget* w : m_dlg->findChildren<QWidget*>()) {
            const auto* radio = qobject_cast<const QRadioButton*>(w);
            if (ControlId(w) != -1 &&
                (checkedRadios ? radio && radio->isChecked() : w->isVisible())) {
                ids << ControlId(w);
            }
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    QList<int> CheckedIds() const { return Ids(true); }
    QList<int> VisibleIds() const { return Ids(false); }

    QTreeWidgetItem* TreeItem(int param) const {
        QTreeWidgetItemIterator it(W<QTreeWidget>(IDC_DEBUG_TREE));
        while (*it && (*it)->data(0, Qt::UserRole).toInt() != param) {
            ++it;
        }
        return *it;
    }
    void Select(int param) const {
        QTreeWidgetItem* item = TreeItem(param);
        if (item->parent()) {
            item->parent()->setExpanded(true);
        }
        W<QTreeWidget>(IDC_DEBUG_TREE)->setCurrentItem(item);
    }
    void TypeAndEnter(int id, const QString& text) const {
        W(id)->setFocus();
        QTest::keyClick(W(id), Qt::Key_A, Qt::ControlModifier);
        Key(id, Qt::Key_Backspace);
        QTest::keyClicks(W(id), text);
        Key(id, Qt::Key_Return);
    }
    QStringList Entries(int id) const {
        QStringList list;
        for (int i = 0; i < W<QComboBox>(id)->count(); ++i) {
            list << W<QComboBox>(id)->itemText(i);
        }
        return list;
    }
    // Picks entry `index` in the dropped list with the keys, as a user does.
    void PickFromList(int id, int index) const {
        QComboBox* combo = W<QComboBox>(id);
        combo->showPopup();
        QTest::keyClick(combo->view(), Qt::Key_Home);
        for (int i = 0; i < index; ++i) {
            QTest::keyClick(combo->view(), Qt::Key_Down);
        }
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
    }

    std::unique_ptr<CTestModeDlg> m_dlg;
    QList<MessageRequest> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    QStringList m_requests;
    Trace m_trace;
    std::unique_ptr<CScriptedTestRadio> m_radio;
    int m_portsMade = 0;

private slots:
    void init() {
        m_boxes.clear();
        m_requests.clear();
        m_radio = std::make_unique<CScriptedTestRadio>(m_trace);
        m_portsMade = 0;
        m_answer = QMessageBox::Ok;
        SetMessageHandler([this](const MessageRequest& request) {
            m_boxes << request;
            return m_answer;
        });
    }
    void cleanup() {
        m_dlg.reset();
        SetMessageHandler({});
    }

    void firstViewShowsTheTreeAndAsksForAFrequency() {
        Open();
        QCOMPARE(m_dlg->windowTitle(), QString("Debug Mode for Korvane"));
        const DialogUnits du(m_dlg->font());
        QCOMPARE(m_dlg->size(), QSize(du.X(391), du.Y(216)));
        QStringList tree;
        for (QTreeWidgetItemIterator it(W<QTreeWidget>(IDC_DEBUG_TREE)); *it; ++it) {
            const QTreeWidgetItem* parent = (*it)->parent();
            tree << QString("%1/%2=%3")
                        .arg(parent ? parent->text(0) : "", (*it)->text(0))
                        .arg((*it)->data(0, Qt::UserRole).toInt());
        }
        QCOMPARE(tree,
                 QStringList({"/Debug Frequency=5567", "Debug Frequency/High Frequency=5568",
                              "Debug Frequency/Middle Frequency=5569",
                              "Debug Frequency/Low Frequency=5571", "/Debug Item=5572",
                              "Debug Item/TX Frequency=5573", "Debug Item/Low Power Voltage=5574",
                              "Debug Item/Squelch Level=5575", "Debug Item/TX Power=5576",
                              "/Exit Debug=5577"}));
        QVERIFY(TreeItem(kParamDebugFrequency)->isExpanded());
        QVERIFY(!TreeItem(kParamDebugItem)->isExpanded());
        QCOMPARE(VisibleIds(), QList<int>({IDC_DEBUG_TREE, IDC_CAPTION_GROUP}));
        QCOMPARE(Caption(), QString("Please Choose Frequency first"));
        QCOMPARE(FocusId(), int(IDC_DEBUG_TREE));
        QCOMPARE(CheckedIds(), kOpening);
        QVERIFY(!W(IDC_BUTTON1)->isEnabled());
    }

    // Run at a normal scale and again on a screen too small for the dialog (see CMakeLists).
    void dialogFitsTheScreen() {
        Open();
        Select(kParamLowFrequency);
        const auto* scroll = m_dlg->findChild<QScrollArea*>();
        QVERIFY(scroll);
        const QSize page = scroll->widget()->size();
        const QSize room = m_dlg->screen()->availableGeometry().size();
        if (page.boundedTo(room) == page) {
            QCOMPARE(m_dlg->size(), page);  // nothing scrolls
        } else {
            QVERIFY2(m_dlg->size().boundedTo(room) == m_dlg->size(),
                     qPrintable(QString("%1x%2").arg(m_dlg->width()).arg(m_dlg->height())));
        }
        // A control that takes the focus is scrolled into view, whole.
        W(IDC_DEFAULT)->setFocus();
        const QRect shown(W(IDC_DEFAULT)->mapTo(scroll->viewport(), QPoint(0, 0)),
                          W(IDC_DEFAULT)->size());
        QVERIFY(scroll->viewport()->rect().contains(shown));
    }

    void controlsAreReachableInTemplateOrder() {
        Open();
        // Every control of both sets takes a click at its centre: no group box lies over it.
        const auto reachable = [&](int id) {
            QWidget* hit = m_dlg->childAt(W(id)->geometry().center());
            return hit == W(id) || W(id)->isAncestorOf(hit);
        };
        Select(kParamLowFrequency);
        for (int id : {IDC_RX_FREQ, IDC_TX_FREQ, IDC_RX_QT, IDC_RX_DQT, IDC_TX_QT, IDC_TX_DQT,
                       IDC_RX_TONE, IDC_TX_TONE, IDC_RX_STEP500, IDC_RX_STEP625, IDC_TX_STEP500,
                       IDC_TX_STEP625, IDC_DEFAULT}) {
            QVERIFY2(reachable(id), qPrintable(QString::number(id)));
        }
        // Tab visits the tab stops in template order; the radio buttons are not among them.
        W(IDC_DEBUG_TREE)->setFocus();
        QList<int> order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << FocusId();
        }
        QCOMPARE(order, QList<int>({IDC_RX_FREQ, IDC_TX_FREQ, IDC_RX_TONE, IDC_TX_TONE, IDC_DEFAULT,
                                    IDC_DEBUG_TREE}));
        Select(kParamTxPower);
        for (int id : {IDC_HIGH, IDC_MIDDLE, IDC_LOW, IDC_VALUE_SLIDER, IDC_START}) {
            QVERIFY2(reachable(id), qPrintable(QString::number(id)));
        }
    }

    void bandItemShowsItsFrequenciesFromTheField() {
        const struct {
            const char* field;
            int param;
            const char* caption;
            const char* frequency;
            int button;  // the band's button under "Choose Debug Frequency"
        } rows[] = {
            {"450 - 470MHZ", kParamHighFrequency, "High Frequency", "470.00000", IDC_HIGH},
            {"450 - 470MHZ", kParamMiddleFrequency, "Middle Frequency", "460.00000", IDC_MIDDLE},
            {"450 - 470MHZ", kParamLowFrequency, "Low frequency", "450.00000", IDC_LOW},
            {"400 - 420MHZ", kParamMiddleFrequency, "Middle Frequency", "410.00000", IDC_MIDDLE},
            {"", kParamHighFrequency, "High Frequency", "470.00000", IDC_HIGH}};
        QList<int> shown(kFrequencySet.begin(), kFrequencySet.end());
        shown << IDC_DEFAULT << IDC_DEBUG_TREE << IDC_CAPTION_GROUP;
        std::sort(shown.begin(), shown.end());
        for (const auto& row : rows) {
            Open(row.field);
            Select(row.param);
            QCOMPARE(Caption(), QString(row.caption));
            QCOMPARE(Text(IDC_RX_FREQ) + " " + Text(IDC_TX_FREQ),
                     QString(row.frequency) + " " + row.frequency);
            QCOMPARE(Entries(IDC_RX_TONE), Entries(IDC_TX_TONE));
            QCOMPARE(Entries(IDC_RX_TONE).size(), 43);
            QCOMPARE(Shown(IDC_RX_TONE) + Shown(IDC_TX_TONE), QString("OFFOFF"));
            QCOMPARE(CheckedIds(), Opening(row.button));
            QCOMPARE(VisibleIds(), shown);
        }
    }

    void defaultButtonStaysOnceShownAndExitDebugCloses() {
        Open();
        Select(kParamDebugItem);
        QVERIFY(!Visible(IDC_DEFAULT) && !Visible(IDC_START));
        Select(kParamSquelchLevel);
        QVERIFY(Visible(IDC_DEFAULT) && Visible(IDC_START) && !Visible(IDC_RX_FREQ));
        QCOMPARE(Caption(), QString("Please Choose Frequency first"));  // an item leaves it
        Select(kParamDebugFrequency);  // a root changes nothing shown
        QVERIFY(Visible(IDC_DEFAULT) && Visible(IDC_START) && !Visible(IDC_RX_FREQ));
        Select(kParamExitDebug);
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
    }

    void enterNormalisesTheEditWithItsOwnStep_data() {
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("rx625");  // the step buttons clicked before typing
        QTest::addColumn<bool>("tx625");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, int edit, bool rx625, bool tx625, const char* typed,
                            const char* shown) {
            QTest::newRow(name) << edit << rx625 << tx625 << QString(typed) << QString(shown);
        };
        const int rx = IDC_RX_FREQ;
        const int tx = IDC_TX_FREQ;
        row("6.25 up", rx, true, false, "462.5124", "462.51250");
        row("5 down", rx, false, true, "462.5124", "462.51000");
        row("half step down", rx, false, false, "462.5025", "462.50000");
        row("past half up", rx, false, false, "462.5026", "462.50500");
        row("6.25 312 down", rx, true, true, "462.50312", "462.50000");
        row("6.25 313 up", rx, true, true, "462.50313", "462.50625");
        row("above", rx, true, false, "480", "470.00000");
        row("below, unrounded", rx, false, false, "449.9", "450.00000");
        row("empty", rx, false, false, "", "450.00000");
        row("abc", rx, false, false, "abc", "450.00000");
        row("negative", tx, false, false, "-460", "450.00000");
        // The transmit edit follows its own buttons whatever the receive ones show.
        row("tx by tx 6.25", tx, false, true, "462.5124", "462.51250");
    }

    void enterNormalisesTheEditWithItsOwnStep() {
        QFETCH(int, edit);
        QFETCH(bool, rx625);
        QFETCH(bool, tx625);
        QFETCH(QString, typed);
        Open();
        Select(kParamMiddleFrequency);
        Click(rx625 ? IDC_RX_STEP625 : IDC_RX_STEP500);
        Click(tx625 ? IDC_TX_STEP625 : IDC_TX_STEP500);
        TypeAndEnter(edit, typed);
        QTEST(Text(edit), "shown");
        QCOMPARE(Text(edit == IDC_RX_FREQ ? IDC_TX_FREQ : IDC_RX_FREQ), QString("460.00000"));
        QCOMPARE(FocusId(), edit == IDC_RX_FREQ ? int(IDC_TX_FREQ) : int(IDC_RX_TONE));
        QVERIFY(m_dlg->isVisible());  // Enter closes nothing
        QVERIFY(m_requests.isEmpty() && m_boxes.isEmpty());
    }

    void toneMethodSwitchesTheList() {
        Open();
        Select(kParamHighFrequency);
        Click(IDC_RX_DQT);
        const QStringList dqt = Entries(IDC_RX_TONE);
        QCOMPARE(dqt.size(), 168);
        QCOMPARE(dqt.first(), QString("210.7"));
        QCOMPARE(dqt.mid(7, 2), QStringList({"254.1", "D023N"}));
        QCOMPARE(dqt.last(), QString("D325I"));
        QCOMPARE(CheckedIds(),
                 QList<int>({IDC_RX_DQT, IDC_TX_QT, IDC_HIGH, IDC_RX_STEP500, IDC_TX_STEP500}));
        QCOMPARE(Entries(IDC_TX_TONE).size(), 43);  // the other direction stays

        PickFromList(IDC_RX_TONE, 9);
        Click(IDC_RX_DQT);  // the method already chosen: it stays, and so does the entry
        QVERIFY(Checked(IDC_RX_DQT) && !Checked(IDC_RX_QT));
        QCOMPARE(Shown(IDC_RX_TONE), QString("D025N"));

        Click(IDC_RX_QT);
        const QStringList qt = Entries(IDC_RX_TONE);
        QCOMPARE(qt.size(), 43);
        QCOMPARE(qt.first() + " " + qt.last(), QString("OFF 206.5"));
        QCOMPARE(Shown(IDC_RX_TONE), QString("OFF"));
        QCOMPARE(CheckedIds(), kOpening);
    }

    void choicesAreExclusiveWithinTheirPairOnly() {
        Open();
        Select(kParamHighFrequency);
        Click(IDC_TX_STEP625);
        Click(IDC_TX_STEP625);  // a second click does not uncheck it; no other choice moves
        QCOMPARE(CheckedIds(),
                 QList<int>({IDC_RX_QT, IDC_TX_QT, IDC_HIGH, IDC_RX_STEP500, IDC_TX_STEP625}));
        Select(kParamTxFrequency);
        Click(IDC_LOW);
        Click(IDC_LOW);  // the Low band's own settings, loaded once
        QCOMPARE(CheckedIds(), Opening(IDC_LOW));
        Click(IDC_HIGH);
        QCOMPARE(CheckedIds(),
                 QList<int>({IDC_RX_QT, IDC_TX_QT, IDC_HIGH, IDC_RX_STEP500, IDC_TX_STEP625}));
    }

    void eachBandKeepsItsOwnSettingsUntilDefault() {
        Open();
        Select(kParamLowFrequency);
        Click(IDC_TX_STEP625);
        Select(kParamMiddleFrequency);
        TypeAndEnter(IDC_RX_FREQ, "455");
        Click(IDC_RX_STEP625);
        Click(IDC_TX_DQT);
        PickFromList(IDC_TX_TONE, 5);  // "241.8"
        W(IDC_RX_TONE)->setFocus();    // chosen with the keys, the list closed
        Key(IDC_RX_TONE, Qt::Key_Down);
        QCOMPARE(Shown(IDC_RX_TONE), QString("67.0"));

        Select(kParamHighFrequency);
        QCOMPARE(Text(IDC_RX_FREQ), QString("470.00000"));
        QCOMPARE(CheckedIds(), kOpening);
        QCOMPARE(Shown(IDC_TX_TONE), QString("OFF"));

        Select(kParamMiddleFrequency);
        QCOMPARE(Text(IDC_RX_FREQ), QString("460.00000"));  // an edited text is not kept
        QCOMPARE(CheckedIds(),
                 QList<int>({IDC_RX_QT, IDC_TX_DQT, IDC_MIDDLE, IDC_RX_STEP625, IDC_TX_STEP500}));
        QCOMPARE(Entries(IDC_TX_TONE).size(), 168);
        QCOMPARE(Shown(IDC_TX_TONE), QString("241.8"));
        QCOMPARE(Shown(IDC_RX_TONE), QString("67.0"));

        // A method switch shows the new list's first entry, and that is what the band keeps:
        // the old index would name an unrelated entry of the other list, or none.
        PickFromList(IDC_RX_TONE, 13);  // "100.0"
        Click(IDC_RX_DQT);
        PickFromList(IDC_TX_TONE, 100);  // beyond the QT list
        Click(IDC_TX_QT);
        Select(kParamLowFrequency);
        QCOMPARE(CheckedIds(),
                 QList<int>({IDC_RX_QT, IDC_TX_QT, IDC_LOW, IDC_RX_STEP500, IDC_TX_STEP625}));
        Select(kParamMiddleFrequency);
        QCOMPARE(Shown(IDC_RX_TONE), QString("210.7"));
        QCOMPARE(Shown(IDC_TX_TONE), QString("OFF"));

        // Default puts the band shown back as it opened, and that band alone.
        TypeAndEnter(IDC_TX_FREQ, "452.5");
        Click(IDC_DEFAULT);
        QCOMPARE(Text(IDC_RX_FREQ) + " " + Text(IDC_TX_FREQ), QString("460.00000 460.00000"));
        QCOMPARE(CheckedIds(), Opening(IDC_MIDDLE));
        QCOMPARE(Entries(IDC_RX_TONE).size(), 43);
        QCOMPARE(Shown(IDC_RX_TONE), QString("OFF"));
        Select(kParamHighFrequency);
        Select(kParamMiddleFrequency);
        QCOMPARE(CheckedIds(), Opening(IDC_MIDDLE));
        Select(kParamLowFrequency);
        QVERIFY(Checked(IDC_TX_STEP625));
        QVERIFY(m_boxes.isEmpty());
    }

    void eachItemKeepsItsOwnValue() {
        Open();
        QCOMPARE(W<QSlider>(IDC_VALUE_SLIDER)->maximum(), 255);
        Select(kParamSquelchLevel);
        QCOMPARE(Value(), QString("Current Position:0 @0"));
        Click(IDC_DEFAULT);
        QCOMPARE(Value(), QString("Current Position:160 @160"));
        Select(kParamTxPower);
        QCOMPARE(Value(), QString("Current Position:0 @0"));
        Click(IDC_DEFAULT);
        QCOMPARE(Value(), QString("Current Position:47 @47"));
        W(IDC_VALUE_SLIDER)->setFocus();
        Key(IDC_VALUE_SLIDER, Qt::Key_Right);
        Key(IDC_VALUE_SLIDER, Qt::Key_Right);
        QCOMPARE(Value(), QString("Current Position:49 @49"));

        Select(kParamSquelchLevel);
        QCOMPARE(Value(), QString("Current Position:160 @160"));  // the slider moved TX Power only
        Select(kParamTxPower);
        QCOMPARE(Value(), QString("Current Position:49 @49"));
        Select(kParamTxFrequency);
        Click(IDC_DEFAULT);
        Select(kParamLowPowerVoltage);
        Click(IDC_DEFAULT);
        QCOMPARE(Value(), QString("Current Position:38 @38"));
        Select(kParamTxFrequency);
        QCOMPARE(Value(), QString("Current Position:91 @91"));
        QVERIFY(m_boxes.isEmpty());
    }

    void enterActsOnTheControlItWasPressedIn() {
        Open();
        RecordRequests();
        m_answer = QMessageBox::Yes;
        Select(kParamTxPower);
        W(IDC_DEBUG_TREE)->setFocus();
        Key(IDC_DEBUG_TREE, Qt::Key_Return);
        QCOMPARE(FocusId(), int(IDC_START));
        QVERIFY(m_requests.isEmpty());  // landing on Start sends nothing
        Key(IDC_START, Qt::Key_Return);
        QCOMPARE(m_requests.size(), 1);
        Key(IDC_START, Qt::Key_Tab);
        QCOMPARE(FocusId(), int(IDC_VALUE_SLIDER));
        Key(IDC_VALUE_SLIDER, Qt::Key_End);
        Key(IDC_VALUE_SLIDER, Qt::Key_Return);
        QCOMPARE(FocusId(), int(IDC_DEFAULT));
        QCOMPARE(Value(),
                 QString("Current Position:255 @255"));  // landing on Default resets nothing
        Key(IDC_DEFAULT, Qt::Key_Enter);
        QCOMPARE(Value(), QString("Current Position:47 @47"));
        QCOMPARE(m_requests.size(), 1);
        QVERIFY(m_dlg->isVisible());
    }

    void startSendsTheNormalisedSettings() {
        Open();
        RecordRequests();
        Select(kParamSquelchLevel);
        Click(IDC_DEFAULT);
        Click(IDC_START);  // no band shown yet: the High band, whose button is checked
        QCOMPARE(m_requests, QStringList({"item 4, 47000000/47000000, OFF/OFF, 160"}));
        QCOMPARE(m_radio->openedName, std::string("COM3"));
        QVERIFY(!m_radio->IsOpen());  // closed even though the exchange left it open

        Select(kParamMiddleFrequency);
        W<QLineEdit>(IDC_RX_FREQ)->setText("480");  // no Enter
        Click(IDC_TX_STEP625);
        W<QLineEdit>(IDC_TX_FREQ)->setText("462.5124");
        PickFromList(IDC_RX_TONE, 1);
        Click(IDC_TX_DQT);
        PickFromList(IDC_TX_TONE, 8);
        W<QComboBox>(IDC_TX_TONE)->setEditText("100.0");  // typed, not chosen
        Select(kParamTxPower);
        m_answer = QMessageBox::Yes;  // TX Power's 0 is sent as it stands
        Click(IDC_START);
        QCOMPARE(m_requests.at(1), QString("item 5, 47000000/46251250, 67.0/D023N, 0"));
        QCOMPARE(Text(IDC_RX_FREQ) + " " + Text(IDC_TX_FREQ), QString("470.00000 462.51250"));
    }

    void bandButtonChoosesTheBandStartSends() {
        Open();
        Select(kParamLowFrequency);
        PickFromList(IDC_RX_TONE, 1);  // "67.0"
        Select(kParamHighFrequency);   // the band shown last
        Select(kParamSquelchLevel);
        Click(IDC_DEFAULT);
        Click(IDC_LOW);
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QString("Finish successfully!"));
        QVERIFY(Contains(m_radio->sent, {0x00, 0x00, 0x00, 0x45, 0x00, 0x00, 0x00, 0x45}));
        QVERIFY(Contains(m_radio->sent, {0x70, 0x06, 0x00, 0x00, 0xFB, 0x01, 0x01, 0xA0}));
        QCOMPARE(Caption(), QString("Low frequency"));
    }

    void startAsksBeforeSendingAValueNobodyChose() {
        Open();
        RecordRequests();
        Select(kParamMiddleFrequency);
        W<QLineEdit>(IDC_RX_FREQ)->setText("461.2345");  // no Enter
        Select(kParamTxPower);
        m_answer = QMessageBox::No;
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QString("Send TX Power value 0 to the radio?"));
        QCOMPARE(m_boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(m_boxes[0].defaultButton, QMessageBox::No);
        QVERIFY(m_requests.isEmpty() && m_portsMade == 0);
        QCOMPARE(Text(IDC_RX_FREQ), QString("461.2345"));  // left as it was

        m_answer = QMessageBox::Yes;
        Click(IDC_START);
        Click(IDC_START);  // confirmed once for TX Power: not asked again
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_requests, QStringList(2, "item 5, 46123500/46000000, OFF/OFF, 0"));

        // A value moved with the slider, or set with Default, is sent without a question.
        Select(kParamSquelchLevel);
        W(IDC_VALUE_SLIDER)->setFocus();
        Key(IDC_VALUE_SLIDER, Qt::Key_Right);
        Click(IDC_START);
        Select(kParamLowPowerVoltage);
        Click(IDC_DEFAULT);
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_requests.mid(2), QStringList({"item 4, 46123500/46000000, OFF/OFF, 1",
                                                 "item 3, 46123500/46000000, OFF/OFF, 38"}));
    }

    void startRunsTheExchangeAndClosesThePort() {
        Open();
        Select(kParamLowFrequency);
        Select(kParamSquelchLevel);
        Click(IDC_DEFAULT);

        m_radio->refuseOpen = "busy";
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.startsWith("Could not Open the Port"));
        QCOMPARE(m_boxes[0].icon, QMessageBox::Warning);
        QVERIFY(m_radio->sent.empty());

        m_boxes.clear();
        m_radio = std::make_unique<CScriptedTestRadio>(m_trace);
        m_radio->handshakeReply = {};  // silent
        m_answer = QMessageBox::Cancel;
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QString(" Error had happen ,need try again"));
        QCOMPARE(m_boxes[0].buttons, QMessageBox::Retry | QMessageBox::Cancel);
        QCOMPARE(m_boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(m_boxes[0].caption, QString(kAppTitle));
        QCOMPARE(m_radio->closes, 1);
        QVERIFY(!m_radio->IsOpen());

        m_boxes.clear();
        m_answer = QMessageBox::Ok;
        m_radio = std::make_unique<CScriptedTestRadio>(m_trace);
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QString("Finish successfully!"));
        QCOMPARE(m_radio->closes, 1);
        QVERIFY(Contains(m_radio->sent, {0x00, 0x00, 0x00, 0x45, 0x00, 0x00, 0x00, 0x45}));
        QVERIFY(Contains(m_radio->sent, {0x00, 0x00, 0x00, 0x00, 0xFB, 0x01, 0x01, 0xA0}));
        QVERIFY(Contains(m_radio->sent, {'x', 's', 's', 0x08}));
        QCOMPARE(m_portsMade, 3);  // a fresh connection for every press
    }

    void startIsTracedIntoKvprogTrace() {
        Open();
        Select(kParamLowFrequency);
        Select(kParamSquelchLevel);
        Click(IDC_DEFAULT);
        QTemporaryDir dir;
        const QString trace = dir.filePath("trace.log");
        qputenv("KVPROG_TRACE", QFile::encodeName(trace));
        Click(IDC_START);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QString("Finish successfully!"));
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(
            lines.value(0).contains(QRegularExpression("^# kvprog [\\d.]+ test mode on COM3, ")),
            qPrintable(lines.value(0)));
        // The device after the name where COM3 stands for another (Linux's /dev/ttyUSB2).
        QVERIFY2(lines.value(1).contains(
                     QRegularExpression("^\\d+\\.\\d{3} open \"COM3\"( \\(.+\\))?: ok$")),
                 qPrintable(lines.value(1)));
        QVERIFY(lines.last().endsWith(" close"));
        Bytes sent;  // the bytes of every tx line, in order
        for (const QString& line : lines) {
            const QStringList words = line.split(' ');
            if (words.value(1) == "tx") {
                for (const QString& hex : words.mid(2)) {
                    sent.push_back(static_cast<std::uint8_t>(hex.toUInt(nullptr, 16)));
                }
            }
        }
        QCOMPARE(sent, m_radio->sent);

        // A trace file that cannot be opened is reported; the exchange goes ahead untraced.
        m_boxes.clear();
        m_radio = std::make_unique<CScriptedTestRadio>(m_trace);
        qputenv("KVPROG_TRACE", QFile::encodeName(dir.filePath("missing/trace.log")));
        Click(IDC_START);
        qunsetenv("KVPROG_TRACE");
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[0].text, QString("Finish successfully!"));
        QVERIFY2(m_boxes[1].text.contains("missing/trace.log"), qPrintable(m_boxes[1].text));
        QVERIFY(!m_radio->sent.empty());
    }
};

QTEST_MAIN(TestModeDlgTest)
#include "TestModeDlgTest.moc"
