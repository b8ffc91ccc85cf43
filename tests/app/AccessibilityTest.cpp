// What assistive technology finds in every window: each control a user can act on has a name
// and a description, the grid's cells have their headers, cell editors say which cell they
// edit, and the keyboard reaches every control.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <set>

#include "AboutDlg.h"
#include "CompareDlg.h"
#include "FeaturesTemplate.h"
#include "FormTemplate.h"
#include "KV_IIApp.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MakePort.h"
#include "NewDocument.h"
#include "OptionalFeaturesDlg.h"
#include "ProductionDlg.h"
#include "ProgressDlg.h"
#include "TestModeDlg.h"

namespace {

const std::set<QAccessible::Role> kActedOn = {QAccessible::PushButton,   QAccessible::CheckBox,
                                              QAccessible::RadioButton,  QAccessible::ComboBox,
                                              QAccessible::EditableText, QAccessible::Slider,
                                              QAccessible::SpinBox,      QAccessible::Table,
                                              QAccessible::Tree,         QAccessible::List};

// The name a screen reader gives: on some desktops a combo's name is its value, and its
// labels are found through their buddy relation; so the labels come first.
QString Spoken(QAccessibleInterface* node) {
    QStringList labels;
    for (const auto& [label, relation] : node->relations(QAccessible::Label)) {
        labels << label->text(QAccessible::Name);
    }
    return labels.isEmpty() ? node->text(QAccessible::Name) : labels.join(' ');
}

QString Spoken(QObject* object) {
    return Spoken(QAccessible::queryAccessibleInterface(object));
}

QString Who(QAccessibleInterface* node) {
    QObject* object = node->object();
    return QStringLiteral("role 0x%1 %2 '%3'")
        .arg(node->role(), 0, 16)
        .arg(object ? object->metaObject()->className() + QStringLiteral(" ") + object->objectName()
                    : QStringLiteral("cell"))
        .arg(Spoken(node));
}

// Everything shown under node that a user acts on and assistive technology cannot name,
// describe or, for a table's cell, place under a named column.
void Walk(QAccessibleInterface* node, QStringList& faults, int& cells) {
    if (!node || !node->isValid() || node->state().invisible) {
        return;  // hidden: neither seen nor reached
    }
    const bool named = node->role() == QAccessible::ComboBox
                           ? !node->relations(QAccessible::Label).isEmpty()
                           : !Spoken(node).isEmpty();
    if (kActedOn.contains(node->role()) &&
        (!named || node->text(QAccessible::Description).isEmpty())) {
        faults << Who(node);
    }
    if (node->role() == QAccessible::Cell) {
        ++cells;
        const QList<QAccessibleInterface*> headers =
            node->tableCellInterface()->columnHeaderCells();
        if (headers.isEmpty() || headers.first()->text(QAccessible::Name).isEmpty()) {
            faults << Who(node) + QStringLiteral(" without a column header");
        }
    }
    for (int i = 0; i < node->childCount(); ++i) {
        Walk(node->child(i), faults, cells);
    }
}

// Walks window; returns the number of table cells met.
int ExpectEveryControlNamed(QWidget* window) {
    QStringList faults;
    int cells = 0;
    Walk(QAccessible::queryAccessibleInterface(window), faults, cells);
    [&] { QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n'))); }();
    return cells;
}

// Every shown, enabled control the user acts on takes the focus from the Tab key; a
// toolbar's buttons repeat menu commands and, as everywhere, are no tab stops.
void ExpectKeyboardReachesEveryControl(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool actedOn =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractItemView*>(w) ||
            (qobject_cast<QLineEdit*>(w) && !w->parentWidget()->inherits("QComboBox"));
        if (actedOn && w->isVisibleTo(window) && w->isEnabled() && !w->inherits("QScrollBar") &&
            !w->inherits("QHeaderView") && !qobject_cast<QToolBar*>(w->parentWidget())) {
            QVERIFY2(
                w->focusPolicy() & Qt::TabFocus,
                qPrintable(w->metaObject()->className() + QStringLiteral(" ") + w->objectName()));
        }
    }
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QAccessible::setActive(true); }
    void mainWindowAndItsGrid();
    void dialogs();
};

void AccessibilityTest::mainWindowAndItsGrid() {
    QCOMPARE(theApp()->InitInstance({}), CKV_IIApp::StartResult::Run);
    CMainFrame* frame = theApp()->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    CKV_IIView* view = theApp()->View();
    CMSFlexGrid& grid = view->Grid();

    // Each setting combo is named by its label, the grid by the label above it.
    const auto name = [](QObject* object) { return Spoken(object); };
    QCOMPARE(name(view->SettingCombo(Setting::RefuseAlert)), QString("Refuse Emergency Alert"));
    QCOMPARE(name(view->SettingCombo(Setting::Type)), QString("Type"));
    QCOMPARE(name(&grid), QString("Channel"));
    QCOMPARE(name(frame->findChild<QToolBar*>()->widgetForAction(frame->Action(32771))),
             QString("Read From Radio"));
    QVERIFY(ExpectEveryControlNamed(frame) >= 17 * 9);
    ExpectKeyboardReachesEveryControl(frame);

    // The grid reports its cells under their headers, and an editor over a cell names it.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    QVERIFY(table);
    QAccessibleTableCellInterface* cell = table->cellAt(3, 2)->tableCellInterface();
    QCOMPARE(cell->columnHeaderCells().first()->text(QAccessible::Name), QString("Transmit(MHz)"));
    QCOMPARE(cell->rowHeaderCells().first()->text(QAccessible::Name), QString("CH 3"));
    for (auto [col, editorName] : {std::pair(COL_TX_FREQ, "Transmit(MHz) of CH 3"),
                                   std::pair(COL_RX_TONE, "Rx Tone of CH 3")}) {
        grid.SetRow(3);
        grid.SetCol(col);
        view->ShowCellEditor(0);
        QWidget* editor = view->GetCellEditor();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(name(editor), QString(editorName));
        QVERIFY(!QAccessible::queryAccessibleInterface(editor)
                     ->text(QAccessible::Description)
                     .isEmpty());
        if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->lineEdit()) {
            QCOMPARE(name(combo->lineEdit()), QString(editorName));
        }
    }
    theApp()->ExitInstance();
}

void AccessibilityTest::dialogs() {
    RadioImage image = NewDocumentImage(RadioType::T520);

    COptionalFeaturesDlg features(image);
    features.show();
    features.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&features));
    ExpectEveryControlNamed(&features);
    ExpectKeyboardReachesEveryControl(&features);
    // Tab goes the way the eye reads, from the first control: the left group down, the right
    // group down, the buttons.
    QList<int> tabbed;
    QWidget* w = QApplication::focusWidget();
    QCOMPARE(w, FindControlWidget(&features, IDC_EXPANSION));
    for (int i = 0; i < 9; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || ControlId(w) < 0) {
            w = w->nextInFocusChain();
        }
        tabbed << ControlId(w);
    }
    QCOMPARE(tabbed, QList<int>({IDC_EXPANSION, IDC_FIRED, IDC_RECEIVING, IDC_ALL_FREQ_INTERFERENCE,
                                 IDC_PTT_ID, IDC_BEGIN_OF_TX, IDC_END_OF_TX, IDOK, IDCANCEL}));

    CAboutDlg about;
    about.show();
    ExpectEveryControlNamed(&about);

    CProgressDlg progress;
    progress.m_strCaption = QStringLiteral("Read From Radio");
    progress.Create(nullptr);
    ExpectEveryControlNamed(&progress);
    ExpectKeyboardReachesEveryControl(&progress);

    RadioImage other = image;
    other[addr::kOptionFlags] ^= 0x04;
    CCompareDlg compare(CompareImages(image, other));
    compare.show();
    QVERIFY(ExpectEveryControlNamed(&compare) > 0);
    ExpectKeyboardReachesEveryControl(&compare);

    ProductionSetup setup;
    setup.document = image;
    setup.name = setup.file = "Write Data";
    setup.port = "COM1";
    CProductionDlg production(setup);
    production.show();
    ExpectEveryControlNamed(&production);
    ExpectKeyboardReachesEveryControl(&production);

    // The test mode dialog shows one set of controls for a band, another for a debug item.
    ToneList tones;
    tones.Build();
    CTestModeDlg testMode(tones, QStringLiteral("COM1"), MakePort, QStringLiteral("450 - 470MHZ"));
    testMode.show();
    ExpectEveryControlNamed(&testMode);
    auto* tree = testMode.findChild<QTreeWidget*>();
    for (const QString& item : {QStringLiteral("High Frequency"), QStringLiteral("TX Power")}) {
        tree->setCurrentItem(tree->findItems(item, Qt::MatchRecursive).first());
        ExpectEveryControlNamed(&testMode);
    }
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());  // keep the user's settings out
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    CKV_IIApp app(argc, argv);
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AccessibilityTest.moc"
