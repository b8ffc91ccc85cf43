// The main window's shell: menus, accelerators, toolbar, status bar, toggles, caption,
// close guard, commands during a run, dropped files, fitting to the form, and the about box.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>
#include <set>
#include <utility>

#include "AboutDlg.h"
#include "CommandTable.h"
#include "Icons.h"
#include "MainFrm.h"
#include "MessageBox.h"
#include "UserGuide.h"
#include "Version.h"

namespace {

constexpr int kSep = 0;

struct ExpectedMenu {
    QString title;
    std::vector<std::pair<int, QString>> items;  // id kSep: separator
};

const std::vector<ExpectedMenu> kExpectedMenus = {
    {"&File",
     {{57600, "&New\tCtrl+N"},
      {57601, "&Open...\tCtrl+O"},
      {57603, "&Save\tCtrl+S"},
      {57604, "Save &As..."},
      {kSep, ""},
      {57607, "&Print...\tCtrl+P"},
      {57609, "Print Pre&view"},
      {57606, "P&rint Setup..."},
      {kSep, ""},
      {57665, "E&xit"}}},
    {"&Edit",
     {{57643, "&Undo\tCtrl+Z"},
      {57644, "&Redo\tCtrl+Y"},
      {kSep, ""},
      {57635, "Cu&t\tCtrl+X"},
      {57634, "&Copy\tCtrl+C"},
      {57637, "&Paste\tCtrl+V"},
      {32807, "C&lear Channels\tDel"},
      {32808, "&Insert Empty Channel"},
      {32809, "&Delete Channel"},
      {32810, "Move &Up\tAlt+Up"},
      {32811, "Move Do&wn\tAlt+Down"}}},
    {"&Program",
     {{32771, "&Read From Radio\tCtrl+R"},
      {kSep, ""},
      {32772, "&Write To Radio\tCtrl+W"},
      {kSep, ""},
      {32778, "&Test Mode\tCtrl+T"},
      {kSep, ""},
      {32784, "Optional Features"},
      // Added after the program's own items: the safe write's companions.
      {kSep, ""},
      {32800, "&Compare With Radio..."},
      {32801, "Re&store Radio From Backup..."},
      {32802, "&Back Up Radio Before Writing"},
      {32803, "&Verify After Writing"},
      {kSep, ""},
      {32805, "&Production Mode..."},
      {32806, "Check Co&nnection..."}}},
    {"P&ort", {{32773, "COM1(&P)"}, {32775, "COM2(&Q)"}, {32776, "COM3(&S)"}, {32777, "COM4(&T)"}}},
    {"&View", {{59392, "&Toolbar"}, {59393, "&Status Bar"}}},
    {"&Help", {{32804, "&User Guide\tF1"}}},
};

// Prompt and tooltip of every command that has a string.
const std::map<int, std::pair<QString, QString>> kExpectedStrings = {
    {32771, {"Read Data From Radio", "Read"}},
    {32772, {"Write Data to Radio ", "Write"}},
    {32773, {"Choose Communication Port one ", "Com1"}},
    {32775, {"Choose Communication Port two ", "Com2"}},
    {32776, {"Choose Communication Port three ", "Com3"}},
    {32777, {"Choose Communication Port four ", "Com4"}},
    {32778, {"Debug TX Power,Squelch Level,Low Power Alert", "Debug on line"}},
    {32780, {"Edit channel Data ", "Edit"}},
    {57600, {"Create a new document", "New"}},
    {57601, {"Open an existing document", "Open"}},
    {57603, {"Save the active document", "Save"}},
    {57604, {"Save the active document with a new name", "Save As"}},
    {57606, {"Change the printer and printing options", "Print Setup"}},
    {57607, {"Print the active document", "Print"}},
    {57609, {"Display full pages", "Print Preview"}},
    {57643, {"Undo the last change to the document", "Undo"}},
    {57644, {"Redo the change undone last", "Redo"}},
    {57635, {"Copy the selected channels to the clipboard and empty them", "Cut"}},
    {57634, {"Copy the selected channels to the clipboard", "Copy"}},
    {57637, {"Put the clipboard's channels on the selected channel and those after it", "Paste"}},
    {32807, {"Empty the selected channels", "Clear Channels"}},
    {32808,
     {"Insert an empty channel before the selected one, moving the channels after it down",
      "Insert Empty Channel"}},
    {32809, {"Delete the selected channels, moving the channels after them up", "Delete Channel"}},
    {32810, {"Move the selected channels up by one", "Move Up"}},
    {32811, {"Move the selected channels down by one", "Move Down"}},
    {57664, {"Display program information, version number and copyright", "About"}},
    {57665, {"Quit the application; prompts to save documents", "Exit"}},
    {59392, {"Show or hide the toolbar", "Toggle ToolBar"}},
    {59393, {"Show or hide the status bar", "Toggle StatusBar"}},
    {61445, {"Close print preview mode", "Cancel Preview"}},
    {32800, {"Read the radio and show how it differs from this document", "Compare With Radio"}},
    {32801, {"Write a backup of a radio back to the radio, with the steps of a write", "Restore"}},
    {32802, {"Read the radio and keep a backup before each write", "Back Up Before Writing"}},
    {32803, {"Read the radio back after each write and check it holds what was sent", "Verify"}},
    {32804, {"Open the user guide", "User Guide"}},
    {32805,
     {"Write this document into many radios on several ports, each with its own ID, and log "
      "every job",
      "Production Mode"}},
    {32806, {"Find out why the radio does not answer on the chosen port", "Check Connection"}},
};

int IdOf(const QAction* action) {
    return action->isSeparator() ? kSep : action->data().toInt();
}

QToolBar* ToolBarOf(const CMainFrame& frame) {
    return frame.findChild<QToolBar*>();
}

// Counts every command the frame runs, whatever reaches it.
struct CommandRecorder {
    std::vector<int> ids;
    explicit CommandRecorder(const CMainFrame& frame) {
        for (QAction* action : frame.findChildren<QAction*>()) {
            if (action->data().isValid()) {
                QObject::connect(action, &QAction::triggered,
                                 [this, action] { ids.push_back(action->data().toInt()); });
            }
        }
    }
};

// A form reporting the size it wants to be shown at, below which it scrolls.
class SizedForm : public QWidget {
public:
    explicit SizedForm(QSize hint) : m_hint(hint) { setMinimumSize(hint); }
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void menusFollowTheCommandTable() {
        CMainFrame frame;
        const QList<QAction*> bar = frame.menuBar()->actions();
        QCOMPARE(bar.size(), qsizetype(kExpectedMenus.size()));
        for (size_t m = 0; m < kExpectedMenus.size(); ++m) {
            QMenu* menu = bar[m]->menu();
            QVERIFY(menu);
            QCOMPARE(menu->title(), kExpectedMenus[m].title);
            QVERIFY(menu->actions().isEmpty());  // filled when first opened
            frame.FillMenu(menu);
            frame.FillMenu(menu);
            const QList<QAction*> items = menu->actions();
            QCOMPARE(items.size(), qsizetype(kExpectedMenus[m].items.size()));
            for (int i = 0; i < items.size(); ++i) {
                const auto& [id, text] = kExpectedMenus[m].items[i];
                QCOMPARE(IdOf(items[i]), id);
                if (id != kSep) {
                    QCOMPARE(items[i]->text(), text);
                    QCOMPARE(items[i], frame.Action(id));  // one action per command
                    QCOMPARE(frame.MenuOf(id), menu);
                    QVERIFY(items[i]->shortcuts().isEmpty());
                }
                QVERIFY(items[i]->data().toInt() != ID_APP_ABOUT);
            }
        }
        // Messages name a command by where the user finds it.
        QCOMPARE(MenuPath(ID_RESTORE_FROM_BACKUP),
                 QString("Program > Restore Radio From Backup..."));
    }

    void acceleratorsAreExactlyTheTable() {
        CMainFrame frame;
        std::set<std::pair<QKeySequence, int>> bound;
        for (const auto& [shortcut, id] : frame.Accelerators()) {
            QCOMPARE(shortcut->context(), Qt::WindowShortcut);
            bound.insert({shortcut->key(), id});
        }
        const std::set<std::pair<QKeySequence, int>> expected = {
            {QKeySequence("Ctrl+N"), 57600}, {QKeySequence("Ctrl+O"), 57601},
            {QKeySequence("Ctrl+S"), 57603}, {QKeySequence("Ctrl+P"), 57607},
            {QKeySequence("Ctrl+R"), 32771}, {QKeySequence("Ctrl+W"), 32772},
            {QKeySequence("Ctrl+T"), 32778}, {QKeySequence("Ctrl+E"), 32780},
            {QKeySequence("F6"), 57680},     {QKeySequence("Shift+F6"), 57681},
            {QKeySequence("F1"), 32804},     {QKeySequence("Ctrl+Z"), 57643},
            {QKeySequence("Ctrl+Y"), 57644}, {QKeySequence("Ctrl+Shift+Z"), 57644}};
        QVERIFY(bound == expected);
        // Nothing else in the window takes a key: no other shortcut, no action's own.
        QCOMPARE(frame.findChildren<QShortcut*>().size(), qsizetype(expected.size()));
        for (const QAction* action : frame.findChildren<QAction*>()) {
            QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->objectName()));
        }
    }

    void keysRunTheirCommandsOnly() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CommandRecorder recorder(frame);
        QTest::keyClick(&frame, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(recorder.ids, (std::vector<int>{ID_READ_FROM_RADIO, ID_FILE_NEW}));

        // Cut, Copy and Paste are the grid's keys, not the window's: outside the grid they run
        // nothing, nor do Ctrl+D and Ctrl+F; Ctrl+E, F6 and Shift+F6 reach commands nobody
        // handles, so nothing visible happens.
        recorder.ids.clear();
        for (const Qt::Key key : {Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_D, Qt::Key_F}) {
            QTest::keyClick(&frame, key, Qt::ControlModifier);
        }
        QVERIFY(recorder.ids.empty());
        QTest::keyClick(&frame, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_F6);
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(recorder.ids, (std::vector<int>{ID_EDIT_CHANNEL, ID_NEXT_PANE, ID_PREV_PANE}));

        // F1 opens the user guide installed beside the program, once however often pressed.
        recorder.ids.clear();
        QTest::keyClick(&frame, Qt::Key_F1);
        QTest::keyClick(&frame, Qt::Key_F1);
        QCOMPARE(recorder.ids, (std::vector<int>{ID_HELP_GUIDE, ID_HELP_GUIDE}));
        const QList<QTextBrowser*> guides = frame.findChildren<QTextBrowser*>("userGuide");
        QCOMPARE(guides.size(), qsizetype(1));
        QVERIFY(guides[0]->isVisible());
        QVERIFY(guides[0]->toPlainText().startsWith("kvprog user guide"));
        guides[0]->window()->close();
        QVERIFY(frame.isVisible());
        QVERIFY(ToolBarOf(frame)->isVisible());
        QVERIFY(frame.statusBar()->isVisible());
        QCOMPARE(frame.MessageText(), QString("Ready"));
        frame.OnCommand(12345);  // an unknown id is ignored too
    }

    // The guide's window lists the guide's headings, each leading to its place, and finds a
    // word forwards and back.
    void guideHasContentsAndFind() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_F1);
        auto* text = frame.findChild<QTextBrowser*>("userGuide");
        auto* contents = frame.findChild<QTreeWidget*>("guideContents");
        QVERIFY(text && contents);
        QWidget* guide = text->window();
        QTRY_COMPARE(QApplication::activeWindow(), guide);

        // The headings of the Markdown file, in order; a "#" line in a code block is none.
        QFile file(UserGuidePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList headings;
        bool inCode = false;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            inCode ^= line.startsWith("```");
            if (!inCode && line.startsWith('#')) {
                headings << line.section(' ', 1);
            }
        }
        QStringList listed;
        for (QTreeWidgetItemIterator it(contents); *it; ++it) {
            listed << (*it)->text(0);
        }
        QCOMPARE(listed, headings);
        QVERIFY(headings.size() > 10);

        // A heading far down, clicked, is where the text's cursor is, in sight.
        QTreeWidgetItem* heading = contents->findItems(headings.last(), Qt::MatchRecursive)[0];
        contents->scrollToItem(heading);
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                          contents->visualItemRect(heading).center());
        QCOMPARE(text->textCursor().block().text(), headings.last());
        QVERIFY(text->viewport()->rect().contains(text->cursorRect()));

        // Ctrl+F opens the box; Enter and F3 find the next, Shift+F3 the one before, and a
        // word that is not there is said so, the selection kept.
        auto* box = guide->findChild<QLineEdit*>("findText");
        QVERIFY(box && !box->isVisible());
        QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(box->isVisible() && box->hasFocus());
        QTest::keyClicks(box, "serial trace");
        QTest::keyClick(box, Qt::Key_Return);
        const QTextCursor first = text->textCursor();
        QCOMPARE(first.selectedText().toLower(), QString("serial trace"));
        QTest::keyClick(box, Qt::Key_F3);
        const QTextCursor second = text->textCursor();
        QCOMPARE(second.selectedText().toLower(), QString("serial trace"));
        QVERIFY(second.position() != first.position());
        QTest::keyClick(box, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(text->textCursor().position(), first.position());
        auto* status = guide->findChild<QLabel*>("findStatus");
        box->selectAll();
        QTest::keyClicks(box, "no such words");
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(status->text().contains("no such words"));
        QCOMPARE(text->textCursor().position(), first.position());
        guide->close();
    }

    void toolbarButtonsInOrderWithTipsAndPrompts() {
        CMainFrame frame;
        QToolBar* toolbar = ToolBarOf(frame);
        QVERIFY(toolbar);
        QCOMPARE(frame.toolBarArea(toolbar), Qt::TopToolBarArea);
        QVERIFY(toolbar->isMovable());
        QCOMPARE(toolbar->allowedAreas(), Qt::AllToolBarAreas);
        QCOMPARE(toolbar->iconSize(), QSize(18, 18));

        const std::vector<int> expected = {57600, 57601, 57603, kSep,  32771,
                                           32772, 32778, kSep,  57607, 57664};
        std::vector<int> ids;
        for (QAction* action : toolbar->actions()) {
            ids.push_back(IdOf(action));
            if (action->isSeparator()) {
                continue;
            }
            auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
            QVERIFY(button);
            const auto& [prompt, tip] = kExpectedStrings.at(IdOf(action));
            QCOMPARE(button->toolTip(), tip);
            QCOMPARE(button->statusTip(), prompt);
            // The picture was found and drawn: some pixel of it is not transparent.
            const QImage image = action->icon().pixmap(18, 18).toImage();
            QCOMPARE(image.size(), QSize(18, 18));
            bool drawn = false;
            for (int y = 0; y < 18 && !drawn; ++y) {
                for (int x = 0; x < 18 && !drawn; ++x) {
                    drawn = qAlpha(image.pixel(x, y)) > 0;
                }
            }
            QVERIFY2(drawn, qPrintable(action->objectName()));
        }
        QCOMPARE(ids, expected);
        QVERIFY(CommandIcon(ID_READ_FROM_RADIO).pixmap(18).toImage() !=
                CommandIcon(ID_WRITE_TO_RADIO).pixmap(18).toImage());
        QVERIFY(!AppIcon().isNull());
    }

    void commandStringsSplitIntoPromptAndTip() {
        CMainFrame frame;
        for (const auto& [id, strings] : kExpectedStrings) {
            QCOMPARE(CommandPrompt(id), strings.first);
            QCOMPARE(CommandTip(id), strings.second);
            QCOMPARE(frame.Action(id)->statusTip(), strings.first);
        }
        QCOMPARE(StringTable().size(), kExpectedStrings.size());
        QVERIFY(CommandPrompt(ID_FILE_PRINT_DIRECT).isEmpty());
    }

    void promptsGoToTheMessagePane() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.MessageText(), QString("Ready"));

        QStatusTipEvent tip("Save the active document");
        QCoreApplication::sendEvent(&frame, &tip);
        QCOMPARE(frame.MessageText(), QString("Save the active document"));
        QVERIFY(frame.statusBar()->currentMessage().isEmpty());  // the panes stay in view
        QStatusTipEvent none{QString()};
        QCoreApplication::sendEvent(&frame, &none);
        QCOMPARE(frame.MessageText(), QString("Ready"));

        // Hovering a button shows its prompt, leaving it brings back the idle text.
        QWidget* button = ToolBarOf(frame)->widgetForAction(frame.Action(ID_WRITE_TO_RADIO));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(button, &enter);
        QCOMPARE(frame.MessageText(), QString("Write Data to Radio "));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        QCOMPARE(frame.MessageText(), QString("Ready"));

        // Highlighting a menu item shows its prompt; closing the menu restores the idle text.
        QAction* fileTitle = frame.menuBar()->actions().first();
        frame.menuBar()->setActiveAction(fileTitle);
        QVERIFY(QTest::qWaitFor([&] { return fileTitle->menu()->isVisible(); }));
        fileTitle->menu()->setActiveAction(frame.Action(ID_FILE_SAVE_AS));
        QCOMPARE(frame.MessageText(), QString("Save the active document with a new name"));
        fileTitle->menu()->close();
        QCOMPARE(frame.MessageText(), QString("Ready"));

        frame.SetMessageText("Channel hint");
        QCOMPARE(frame.MessageText(), QString("Channel hint"));
    }

    void lockIndicatorsFollowTheirKeys() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QLabel* message = frame.statusBar()->findChild<QLabel*>("pane0");
        QLabel* panes[3] = {frame.statusBar()->findChild<QLabel*>("pane1"),
                            frame.statusBar()->findChild<QLabel*>("pane2"),
                            frame.statusBar()->findChild<QLabel*>("pane3")};
        int left = message->geometry().right();
        for (QLabel* pane : panes) {
            QVERIFY(pane && pane->isVisible());
            QVERIFY(pane->text().isEmpty());  // every lock starts off
            QVERIFY(pane->x() > left);        // to the right of the message, in order
            left = pane->x();
        }
        // One press turns the lock on, even though the key travels through several widgets.
        QTest::keyClick(frame.windowHandle(), Qt::Key_CapsLock);
        QTest::keyClick(frame.windowHandle(), Qt::Key_ScrollLock);
        QCOMPARE(panes[0]->text(), QString("CAP"));
        QVERIFY(panes[1]->text().isEmpty());
        QCOMPARE(panes[2]->text(), QString("SCRL"));
        QTest::keyClick(frame.windowHandle(), Qt::Key_CapsLock);
        QTest::keyClick(frame.windowHandle(), Qt::Key_NumLock);
        QVERIFY(panes[0]->text().isEmpty());
        QCOMPARE(panes[1]->text(), QString("NUM"));
    }

    void viewItemsToggleToolbarAndStatusBar() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QToolBar* toolbar = ToolBarOf(frame);
        QAction* toolbarItem = frame.Action(ID_VIEW_TOOLBAR);
        QAction* statusItem = frame.Action(ID_VIEW_STATUS_BAR);
        QVERIFY(toolbarItem->isCheckable() && toolbarItem->isChecked());
        QVERIFY(statusItem->isCheckable() && statusItem->isChecked());

        frame.OnCommand(ID_VIEW_TOOLBAR);
        QVERIFY(!toolbar->isVisible() && !toolbarItem->isChecked());
        frame.OnCommand(ID_VIEW_STATUS_BAR);
        QVERIFY(!frame.statusBar()->isVisible() && !statusItem->isChecked());
        frame.OnCommand(ID_VIEW_TOOLBAR);
        frame.OnCommand(ID_VIEW_STATUS_BAR);
        QVERIFY(toolbar->isVisible() && toolbarItem->isChecked());
        QVERIFY(frame.statusBar()->isVisible() && statusItem->isChecked());

        // Hidden by other means, the checks follow; hiding the whole window does not count.
        toolbar->hide();
        frame.statusBar()->hide();
        QVERIFY(!toolbarItem->isChecked() && !statusItem->isChecked());
        toolbar->show();
        frame.statusBar()->show();
        frame.hide();
        QVERIFY(toolbarItem->isChecked() && statusItem->isChecked());
    }

    void captionNeverChanges() {
        CMainFrame frame;
        frame.show();
        const QSize shown = frame.size();
        frame.setWindowFilePath("/tmp/radio.sin");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("setWindowModified"));
        frame.setWindowModified(true);
        frame.OnCommand(ID_VIEW_TOOLBAR);
        frame.OnCommand(ID_FILE_NEW);
        frame.SetMessageText("x");
        QCOMPARE(frame.windowTitle(), QString(kAppTitle));
        QCOMPARE(frame.size(), shown);
    }

    void showingCentresTheWindow() {
        CMainFrame frame;
        frame.resize(400, 300);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect area = frame.screen()->availableGeometry();
        QVERIFY((frame.frameGeometry().center() - area.center()).manhattanLength() <= 2);
        frame.hide();
        frame.move(area.topLeft());
        frame.show();
        QVERIFY((frame.frameGeometry().center() - area.center()).manhattanLength() <= 2);
    }

    void closeGuardCanKeepTheWindow() {
        CMainFrame frame;
        frame.show();
        int asked = 0;
        bool allow = false;
        frame.SetCloseGuard([&] {
            ++asked;
            return allow;
        });
        frame.OnCommand(ID_APP_EXIT);
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QCOMPARE(asked, 2);
        allow = true;
        frame.OnCommand(ID_APP_EXIT);
        QVERIFY(!frame.isVisible());
    }

    // Every command of the table, so that one added later is covered too.
    void duringARunOnlyAllowedCommandsAreLive() {
        CMainFrame frame;
        CommandRecorder recorder(frame);
        frame.SetTransferRunning(true);
        for (const CommandName& command : CommandNames()) {
            QAction* action = frame.Action(command.id);
            QVERIFY2(action->isEnabled() == (command.duringRun == DuringRun::Allowed),
                     command.name);
            if (action->isEnabled()) {
                continue;
            }
            // Enabled meanwhile by its own logic (the Edit menu does so as it closes), it
            // stays refused; its key says why, its item and button do nothing.
            action->setEnabled(true);
            QVERIFY2(!action->isEnabled(), command.name);
            frame.SetMessageText(kIdlePrompt);
            frame.OnCommand(command.id);
            QCOMPARE(frame.MessageText(), QString(kMsgTransferRunning));
            action->trigger();
        }
        QVERIFY(recorder.ids.empty());
        // These two once opened their windows inside the exchange.
        QVERIFY(!frame.Action(ID_CHECK_CONNECTION)->isEnabled());
        QVERIFY(!frame.Action(ID_APP_ABOUT)->isEnabled());
        frame.SetTransferRunning(false);
        for (const CommandName& command : CommandNames()) {
            QVERIFY2(frame.Action(command.id)->isEnabled(), command.name);
        }
        frame.OnCommand(ID_FILE_NEW);
        QCOMPARE(recorder.ids, std::vector<int>{ID_FILE_NEW});
    }

    void droppedLocalFilesAreReported() {
        CMainFrame frame;
        QSignalSpy dropped(&frame, &CMainFrame::FilesDropped);
        QMimeData web;
        web.setUrls({QUrl("http://example.invalid/a.sin")});
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile("/tmp/a.sin"), QUrl("http://example.invalid/b"),
                       QUrl::fromLocalFile("/tmp/c d.sin")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame, &drop);
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0][0].toStringList(), QStringList({"/tmp/a.sin", "/tmp/c d.sin"}));
    }

    void resizeToFitOnlyShrinks() {
        // The window starts at 900 x 700, or at the screen's available size when smaller.
        const QSize start =
            QSize(900, 700).boundedTo(QGuiApplication::primaryScreen()->availableGeometry().size());
        {
            CMainFrame frame;
            QCOMPARE(frame.size(), start);
            frame.SetForm(new SizedForm(QSize(300, 200)));
            frame.ResizeParentToFit();
            QVERIFY(frame.width() < start.width() && frame.height() < start.height());
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QCOMPARE(frame.Form()->size(), QSize(300, 200));
            QCOMPARE(frame.FormArea()->size(), QSize(300, 200));  // no scroll bar
        }
        {
            CMainFrame frame;  // taller than the window: only the width shrinks, and it scrolls
            frame.SetForm(new SizedForm(QSize(300, 2000)));
            frame.ResizeParentToFit();
            QVERIFY(frame.width() < start.width());
            QCOMPARE(frame.height(), start.height());
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QCOMPARE(frame.Form()->width(), 300);  // beside the vertical scroll bar
            QVERIFY(frame.FormArea()->verticalScrollBar()->maximum() > 0);
        }
        {
            CMainFrame frame;  // a form placed by a template: its controls give the size
            auto* form = new QWidget;
            (new QWidget(form))->setGeometry(10, 10, 2000, 2000);
            frame.SetForm(form);
            frame.ResizeParentToFit();
            QCOMPARE(frame.size(), start);
            form->findChild<QWidget*>()->setGeometry(10, 10, 290, 190);
            frame.ResizeParentToFit();
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QCOMPARE(form->size(), QSize(300, 200));
        }
    }

    void aboutBoxShowsNameVersionAndCloses() {
        CAboutDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString("About Korvane Programming Software"));
        QStringList texts;
        bool hasPicture = false;
        for (const QLabel* label : dlg.findChildren<QLabel*>()) {
            texts << label->text();
            hasPicture = hasPicture || !label->pixmap().isNull();
        }
        QVERIFY(texts.contains(QString("Korvane Programming Software Version ") + kProgramVersion));
        QVERIFY(hasPicture);
        const QList<QPushButton*> buttons = dlg.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QString("OK"));
        QVERIFY(buttons[0]->isDefault());
        dlg.show();
        buttons[0]->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
    }

    void aboutCommandOpensTheBoxModally() {
        CMainFrame frame;
        frame.show();
        QString seen;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (qobject_cast<CAboutDlg*>(modal)) {
                seen = modal->windowTitle();
            }
            if (auto* dlg = qobject_cast<QDialog*>(modal)) {
                dlg->accept();  // whatever it is, the test goes on
            }
        });
        frame.OnCommand(ID_APP_ABOUT);
        QCOMPARE(seen, QString("About Korvane Programming Software"));
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
