#include "AboutDlg.h"

#include <QByteArray>
#include <QLabel>
#include <QPushButton>

#include "DialogTemplate.h"
#include "Icons.h"
#include "MessageBox.h"
#include "ScrollingPage.h"
#include "Version.h"

namespace {

constexpr int IDOK = 1;
constexpr int IDC_ABOUT_ICON = 1000;  // the label showing the application icon

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const QByteArray caption = QByteArray("About ") + kAppTitle;
    const QByteArray version = QByteArray(kAppTitle) + " Version " + kProgramVersion;
    const ControlTemplate controls[] = {
        {IDC_ABOUT_ICON, ControlKind::Icon, nullptr, 11, 14, 20, 20},
        {IDC_STATIC, ControlKind::Static, version.constData(), 40, 10, 195, 8},
        {IDC_STATIC, ControlKind::Static,
         "Channel programming for the KV - T310X and KV - T520 radios", 40, 25, 195, 16},
        {IDOK, ControlKind::DefPushButton, "OK", 243, 7, 50, 14},
    };
    const DialogTemplate dialog = {caption.constData(), 302, 48, "Times New Roman", 9, controls};
    // On a small or scaled screen the controls scroll rather than fall off the screen.
    ShowPageScrolling(this, BuildDialogPage(this, dialog));

    // The application icon is the program's own picture, whatever the platform gave the
    // process.
    if (auto* icon = FindControl<QLabel>(this, IDC_ABOUT_ICON)) {
        icon->setPixmap(AppIcon().pixmap(32, 32));
    }
    if (auto* ok = FindControl<QPushButton>(this, IDOK)) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}
