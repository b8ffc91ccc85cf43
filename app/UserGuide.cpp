#include "UserGuide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>

#include "GuideWindow.h"
#include "MessageBox.h"
#include "ScreenFit.h"

QString UserGuidePath() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../share/doc/kvprog/guide.md"));
}

void ShowUserGuide(QWidget* parent) {
    static QPointer<QDialog> open;
    if (open) {
        open->raise();
        open->activateWindow();
        return;
    }
    const QString path = QDir::cleanPath(UserGuidePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(parent, QStringLiteral("The user guide could not be opened: %1: %2")
                                .arg(path, file.errorString()));
        return;
    }
    open = new CGuideWindow(QString::fromUtf8(file.readAll()), parent);
    open->setAttribute(Qt::WA_DeleteOnClose);
    FitToScreen(open, parent);
    open->show();
    open->activateWindow();  // the keys go to the guide, where a window manager may not send them
}
