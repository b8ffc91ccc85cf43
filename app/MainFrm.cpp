#include "MainFrm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <algorithm>
#include <span>

#include "AboutDlg.h"
#include "AccessibleText.h"
#include "CommandTable.h"
#include "Icons.h"
#include "MessageBox.h"
#include "ScreenFit.h"
#include "UserGuide.h"

namespace {

// Local files among the urls a drag carries.
QStringList LocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}

// The last result's text when the run failed: a red that reads on a light status bar.
QColor FailedColor() {
    return {0xC0, 0x00, 0x00};
}

// The last result's pane: as much of its text as fits, cut with "..." where the window is too
// narrow for it (the tooltip has it all).
class CResultPane final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 8, QLabel::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);  // the frame; the text is drawn here, cut to fit
        QPainter painter(this);
        const int indent = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
        const QRect area = contentsRect().adjusted(indent, 0, -indent, 0);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

constexpr Qt::Key kLockKeys[3] = {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock};

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    // The caption is the program's name only; nothing sets a file path or a modified mark
    // on it, so it stays the same whatever document is open.
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(AppIcon());
    resize(QSize(900, 700).boundedTo(RoomOnScreen(this)));
    setAcceptDrops(true);

    // One action per command, shared by its menu item, its button and its accelerator.
    m_refusedDuringRun = new QActionGroup(this);
    m_refusedDuringRun->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (const CommandName& command : CommandNames()) {
        auto* action = new QAction(this);
        action->setData(command.id);
        action->setObjectName(QString::fromUtf8(command.name));
        action->setStatusTip(CommandPrompt(command.id));
        action->setToolTip(CommandTip(command.id));
        action->setIconVisibleInMenu(false);
        if (command.duringRun == DuringRun::Refused) {
            m_refusedDuringRun->addAction(action);
        }
        m_actions[command.id] = action;
    }
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();

    connect(Action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(Action(ID_APP_ABOUT), &QAction::triggered, this, [this] {
        CAboutDlg dlg(this);
        FitToScreen(&dlg, this);
        dlg.exec();
    });
    connect(Action(ID_HELP_GUIDE), &QAction::triggered, this, [this] { ShowUserGuide(this); });

    // Lock keys and status prompts reach the frame through the application's events.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    disconnect(m_focusFollower);
}

QAction* CMainFrame::Action(int id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* CMainFrame::MenuOf(int id) const {
    const std::span<const MenuTemplate> table = MenuTable();
    for (std::size_t m = 0; m < table.size() && m < m_menus.size(); ++m) {
        for (const MenuItem& item : table[m].items) {
            if (item.id == id && id != ID_SEPARATOR) {
                return m_menus[m];
            }
        }
    }
    return nullptr;
}

void CMainFrame::FillMenu(QMenu* menu) {
    const auto found = std::find(m_menus.begin(), m_menus.end(), menu);
    if (found == m_menus.end()) {
        return;
    }
    const auto m = static_cast<std::size_t>(found - m_menus.begin());
    if (m_menuFilled[m]) {
        return;
    }
    m_menuFilled[m] = true;
    for (const MenuItem& item : MenuTable()[m].items) {
        if (item.id == ID_SEPARATOR) {
            menu->addSeparator();
        } else {
            menu->addAction(Action(item.id));
        }
    }
}

void CMainFrame::OnCommand(int id) {
    QAction* action = Action(id);
    if (!action) {
        return;
    }
    if (action->actionGroup() == m_refusedDuringRun && !m_refusedDuringRun->isEnabled()) {
        SetMessageText(QString::fromUtf8(kMsgTransferRunning));
        return;
    }
    action->trigger();
}

void CMainFrame::SetTransferRunning(bool running) {
    m_refusedDuringRun->setEnabled(!running);
}

void CMainFrame::SetMessageText(const QString& text) {
    m_messagePane->setText(text);
}

QString CMainFrame::MessageText() const {
    return m_messagePane->text();
}

void CMainFrame::SetDocumentText(const QString& text) {
    m_documentPane->setText(text);
}

QString CMainFrame::DocumentText() const {
    return m_documentPane->text();
}

void CMainFrame::SetLastResult(const QString& text, bool failed) {
    m_lastResult->setText(text);
    m_lastResult->setToolTip(text);  // the whole text where the pane is too narrow for it
    SetAccessibleText(m_lastResult, QString(), text);  // read after the pane's name
    m_lastResult->setMaximumWidth(m_lastResult->sizeHint().width());
    QPalette palette;  // no colour of its own: the status bar's
    if (failed) {
        palette.setColor(QPalette::WindowText, FailedColor());
    }
    m_lastResult->setPalette(palette);
    m_lastResult->show();
}

void CMainFrame::CreateMenus() {
    // The items' texts are set now (the toolbar and the prompts use them); the items go into
    // their menu when it first opens, which spares start-up some 80 menu entries.
    for (const MenuTemplate& menuTemplate : MenuTable()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuTemplate.title));
        m_menus.push_back(menu);
        m_menuFilled.push_back(false);
        for (const MenuItem& item : menuTemplate.items) {
            // The text after the tab is drawn in the menu's shortcut column; the keys
            // themselves belong to the accelerators alone.
            if (item.id != ID_SEPARATOR) {
                Action(item.id)->setText(QString::fromUtf8(item.text));
            }
        }
        // Connected first, so the items are in place for every other listener.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillMenu(menu); });
        connect(menu, &QMenu::aboutToHide, this,
                [this] { SetMessageText(QString::fromUtf8(kIdlePrompt)); });
    }

    QAction* toolbar = Action(ID_VIEW_TOOLBAR);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    QAction* statusBar = Action(ID_VIEW_STATUS_BAR);
    statusBar->setCheckable(true);
    statusBar->setChecked(true);
}

void CMainFrame::CreateToolBar() {
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar"));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const int id : ToolbarTable()) {
        if (id == ID_SEPARATOR) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = Action(id);
        action->setIcon(CommandIcon(id));
        if (action->text().isEmpty()) {
            action->setText(CommandTip(id));  // a button without a menu item
        }
        m_wndToolBar->addAction(action);
        // The button would be named by the menu item's text, shortcut column and all.
        SetAccessibleText(m_wndToolBar->widgetForAction(action),
                          AccessibleName(action->text().section(QLatin1Char('\t'), 0, 0)),
                          QString());
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    QAction* toggle = Action(ID_VIEW_TOOLBAR);
    connect(toggle, &QAction::toggled, m_wndToolBar, &QWidget::setVisible);
    // Hidden some other way (the frame's own toolbar menu, for one), the check follows.
    connect(m_wndToolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    m_messagePane = new QLabel(QString::fromUtf8(kIdlePrompt), bar);
    m_messagePane->setTextFormat(Qt::PlainText);
    m_messagePane->setObjectName(QStringLiteral("pane0"));
    m_messagePane->setMinimumWidth(1);  // a long prompt is cut, it never widens the window
    bar->addWidget(m_messagePane, 1);

    m_documentPane = new QLabel(bar);
    m_documentPane->setObjectName(QStringLiteral("documentPane"));
    m_documentPane->setTextFormat(Qt::PlainText);
    m_documentPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(m_documentPane);

    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        const QString text = QString::fromUtf8(kIndicatorTexts[i]);
        pane->setObjectName(QStringLiteral("pane%1").arg(i + 1));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        // Sized for its text whether shown or not, so the panes never move.
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(text) + 12);
        bar->addPermanentWidget(pane);
        m_indicators[i] = pane;
    }
    UpdateIndicators();

    // No prompt or hint replaces it, as they do the message pane's text.
    m_lastResult = new CResultPane(bar);
    m_lastResult->setObjectName(QStringLiteral("lastResult"));
    m_lastResult->setTextFormat(Qt::PlainText);
    m_lastResult->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetAccessibleText(m_lastResult, QStringLiteral("Last result"), QString());
    m_lastResult->hide();
    // Where the bar is too narrow for both, the result gets two thirds of what the message
    // pane and it share; never more than its text needs (SetLastResult).
    bar->addPermanentWidget(m_lastResult, 2);

    connect(Action(ID_VIEW_STATUS_BAR), &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::CreateAccelerators() {
    for (const Accelerator& accelerator : AcceleratorTable()) {
        auto* shortcut = new QShortcut(QKeySequence(accelerator.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = accelerator.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnCommand(id); });
        m_accelerators[shortcut] = id;
    }
}

// The indicators show their text only while their lock is on. There is no portable way to
// ask the system for a lock's state, so the frame starts with every lock off and flips one
// at each press of its key that reaches any window of the program; a lock changed while
// the program does not have the keyboard goes unnoticed.
void CMainFrame::UpdateIndicators() {
    for (int i = 0; i < 3; ++i) {
        m_indicators[i]->setText(m_lockState[i] ? QString::fromUtf8(kIndicatorTexts[i])
                                                : QString());
    }
}

void CMainFrame::SetForm(QWidget* form) {
    m_formArea = new QScrollArea(this);
    m_formArea->setObjectName(QStringLiteral("formArea"));
    // Without a frame of its own the area is invisible while the whole form fits.
    m_formArea->setFrameShape(QFrame::NoFrame);
    // The form may grow with the window; it never shrinks below its minimum size, which is
    // where the scroll bars take over.
    m_formArea->setWidgetResizable(true);
    m_formArea->setWidget(form);
    setCentralWidget(m_formArea);
    // The area follows the keyboard: a control or cell editor that takes the focus out of
    // sight (Enter walking along a channel) is scrolled into view. A control larger than the
    // view, the grid itself, is left where the user scrolled it.
    // Focus moves while widgets are torn down: the frame cuts this connection first thing in
    // its destructor.
    QScrollArea* area = m_formArea;
    m_focusFollower =
        connect(qApp, &QApplication::focusChanged, area, [area](QWidget*, QWidget* now) {
            const QWidget* viewport = area->viewport();
            if (now && area->widget() && area->widget()->isAncestorOf(now) &&
                now->width() <= viewport->width() && now->height() <= viewport->height()) {
                area->ensureWidgetVisible(now, 8, 8);
            }
        });
}

QWidget* CMainFrame::Form() const {
    return m_formArea ? m_formArea->widget() : nullptr;
}

void CMainFrame::ResizeParentToFit() {
    QWidget* form = Form();
    if (!form) {
        return;
    }
    if (layout()) {
        layout()->activate();  // bring the form's size up to date with the window's
    }
    // A form placed by a template has no layout and so no size hint; the extent of its
    // controls is its size then.
    QSize wanted = form->sizeHint();
    if (!wanted.isValid()) {
        const QRect children = form->childrenRect();
        wanted = QSize(children.right() + 1, children.bottom() + 1);
    }
    wanted = wanted.expandedTo(form->minimumSize());
    const QSize chrome = size() - m_formArea->size();  // menu, toolbar and status bar
    const QSize available = RoomOnScreen(this);
    // A form that scrolls one way needs room for that scroll bar the other way.
    if (wanted.width() + chrome.width() > available.width()) {
        wanted.rheight() += m_formArea->horizontalScrollBar()->sizeHint().height();
    }
    if (wanted.height() + chrome.height() > available.height()) {
        wanted.rwidth() += m_formArea->verticalScrollBar()->sizeHint().width();
    }
    const QSize fitted = (wanted + chrome).boundedTo(size()).boundedTo(available);
    if (fitted != size()) {
        resize(fitted);
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A show the window system reports (a restore from the task bar) leaves the window
    // where the user put it.
    if (event->spontaneous()) {
        return;
    }
    // The screen may be another than the one the size was chosen for.
    FitToScreen(this);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (LocalFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit FilesDropped(paths);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            // A key press travels from the window to the focus widget and up its parents;
            // it is counted once, where it enters the program's window.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!watched->isWindowType() || key->isAutoRepeat()) {
                break;
            }
            for (int i = 0; i < 3; ++i) {
                if (key->key() == kLockKeys[i]) {
                    m_lockState[i] = !m_lockState[i];
                    UpdateIndicators();
                }
            }
            break;
        }
        case QEvent::StatusTip:
            // Prompts of menu items and buttons go to the message pane, which keeps the
            // indicators in view; the frame's own handling would cover them. A floating
            // toolbar is a window of its own, so its prompts are caught there.
            if (watched == this || watched == m_wndToolBar) {
                const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
                SetMessageText(tip.isEmpty() ? QString::fromUtf8(kIdlePrompt) : tip);
                return true;
            }
            break;
        case QEvent::Show:
        case QEvent::Hide:
            // Only an explicit hide unchecks the item, not the frame being minimised.
            if (watched == statusBar()) {
                Action(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
