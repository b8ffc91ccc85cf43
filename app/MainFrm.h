// The main window: menu bar, toolbar, status bar and accelerators, all built from the
// command tables, around the channel form. Its caption never changes with the document.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollArea;
class QShortcut;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of command id (menu item or toolbar button), or nullptr. Handlers connect
    // to its triggered() signal; a command without a connected handler does nothing.
    QAction* Action(int id) const;

    // The menu of the menu bar that holds command id's item, or nullptr. Its items may not
    // be in it yet: see FillMenu().
    QMenu* MenuOf(int id) const;

    // Puts the menu table's items in menu, once. A menu gets its items when it first opens
    // (its first aboutToShow, before anyone else hears of it); whoever reads its items
    // before that fills it first.
    void FillMenu(QMenu* menu);

    // Runs command id as its menu item, button or accelerator would. A command refused
    // during a run does nothing but say so in the message pane.
    void OnCommand(int id);

    // While a run with the radio goes, every command the table does not mark Allowed during
    // a run is disabled and refused, whatever else enables it meanwhile; afterwards each is
    // as enabled as the rest of the window last set it.
    void SetTransferRunning(bool running);

    // The accelerators: key -> command id, exactly as the accelerator table lists them.
    const std::map<QShortcut*, int>& Accelerators() const { return m_accelerators; }

    // Text of the status bar's message pane (pane 0).
    void SetMessageText(const QString& text);
    QString MessageText() const;
    // Text of the document pane, left of the indicators: what the form holds.
    void SetDocumentText(const QString& text);
    QString DocumentText() const;
    // The last run's result, at the right end of the status bar until the next run ends:
    // red when it failed. Hidden until the first run has ended.
    void SetLastResult(const QString& text, bool failed);

    // Puts the form in the window inside a scroll area: on a screen too small for the form
    // it scrolls, and the menu, toolbar and status bar keep their own places around it.
    void SetForm(QWidget* form);
    QWidget* Form() const;
    QScrollArea* FormArea() const { return m_formArea; }

    // Shrinks (never grows) the window so that it fits its form, and so that it fits the
    // screen's available area, where the form scrolls instead.
    void ResizeParentToFit();

    // Asked before the window closes (Exit, the close button, the end of the session);
    // returning false keeps it open.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

signals:
    // Local files dropped on the window.
    void FilesDropped(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateAccelerators();
    void UpdateIndicators();

    std::map<int, QAction*> m_actions;
    // The menu bar's menus in the order of the menu table, and which have their items.
    std::vector<QMenu*> m_menus;
    std::vector<bool> m_menuFilled;
    // The commands refused during a run: the group's being disabled overrides whatever
    // enables them one by one, and remembers it for the end of the run.
    QActionGroup* m_refusedDuringRun = nullptr;
    std::map<QShortcut*, int> m_accelerators;
    QToolBar* m_wndToolBar = nullptr;
    QScrollArea* m_formArea = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_documentPane = nullptr;
    QLabel* m_indicators[3] = {};  // CAP, NUM, SCRL
    QLabel* m_lastResult = nullptr;
    bool m_lockState[3] = {};
    std::function<bool()> m_closeGuard;
    QMetaObject::Connection m_focusFollower;  // the form area following the keyboard focus
};
