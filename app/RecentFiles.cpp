#include "RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "CommandTable.h"
#include "MainFrm.h"
#include "ProgramSettings.h"

namespace {

constexpr char kRecentGroup[] = "Recent File List";
constexpr char kRecentProperty[] = "recentFile";

// Rebuilds the numbered items and their separator just above Exit.
void Refresh(QMenu& menu, QAction* exit, const std::function<void(const QString&)>& open) {
    for (QAction* action : menu.actions()) {
        if (action->property(kRecentProperty).isValid()) {
            menu.removeAction(action);
            action->deleteLater();
        }
    }
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName().replace('&', "&&")),
            &menu);
        action->setProperty(kRecentProperty, path);
        action->setStatusTip(QDir::toNativeSeparators(path));
        QObject::connect(action, &QAction::triggered, &menu, [open, path] { open(path); });
        menu.insertAction(exit, action);
    }
    if (!files.isEmpty()) {
        QAction* separator = menu.insertSeparator(exit);
        separator->setProperty(kRecentProperty, true);
    }
}

}  // namespace

QStringList RecentFiles() {
    QSettings settings = ProgramSettings();
    settings.beginGroup(QString::fromUtf8(kRecentGroup));
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) {
            files << file;
        }
    }
    return files;
}

void AddToRecentFiles(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    QSettings settings = ProgramSettings();
    settings.beginGroup(QString::fromUtf8(kRecentGroup));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        settings.setValue(QStringLiteral("File%1").arg(i), files.value(i - 1));
    }
}

void ConnectRecentFilesMenu(CMainFrame& frame, std::function<void(const QString&)> open) {
    QMenu* menu = frame.MenuOf(ID_APP_EXIT);
    QAction* exit = frame.Action(ID_APP_EXIT);
    if (!menu) {
        return;
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu, exit, open = std::move(open)] { Refresh(*menu, exit, open); });
}
