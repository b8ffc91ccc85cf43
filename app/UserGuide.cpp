#include "UserGuide.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "MessageBox.h"
#include "ScreenFit.h"

namespace {

constexpr char kGuideTitle[] = "kvprog User Guide";

QDialog* MakeGuideWindow(QWidget* parent, const QString& markdown) {
    auto* window = new QDialog(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromUtf8(kGuideTitle));
    auto* text = new QTextBrowser(window);
    text->setObjectName(QStringLiteral("userGuide"));
    text->setAccessibleName(QString::fromUtf8(kGuideTitle));
    text->setOpenExternalLinks(true);
    text->setMarkdown(markdown);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    // A comfortable reading width, never more than the screen has room for.
    window->resize(760, 640);
    FitToScreen(window, parent);
    return window;
}

}  // namespace

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
    open = MakeGuideWindow(parent, QString::fromUtf8(file.readAll()));
    open->show();
}
