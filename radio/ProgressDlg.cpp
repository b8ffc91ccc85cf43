#include "ProgressDlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "DialogTemplate.h"
#include "RadioTexts.h"
#include "ScreenFit.h"
#include "ScrollingPage.h"

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const DialogTemplate& ProgressTemplate() {
    static const std::string start(kStartButton);
    static const std::string cancel(kCancelButton);
    static const std::string label(kProgressLabel);
    static const std::string status(kStatusNotStarted);
    static const ControlTemplate controls[] = {
        {1, ControlKind::DefPushButton, start.c_str(), 7, 7, 32, 14},
        {2, ControlKind::PushButton, cancel.c_str(), 194, 36, 39, 14},
        {IDC_PROGRESS_BAR, ControlKind::ProgressBar, "", 7, 23, 226, 10},
        {IDC_PROGRESS_LABEL, ControlKind::Static, label.c_str(), 7, 38, 47, 12},
        {IDC_PROGRESS_STATUS, ControlKind::Static, status.c_str(), 48, 38, 142, 21},
        {IDC_PROGRESS_ATTEMPT, ControlKind::Static, "", 48, 60, 142, 10},
        {IDC_PROGRESS_TARGET, ControlKind::Static, "", 7, 72, 246, 20},
    };
    static const DialogTemplate dialog = {"Dialog", 260, 96, "Times New Roman", 10, controls};
    return dialog;
}

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
    setModal(false);
    // The template's controls sit on a page that scrolls when the screen is too small for it.
    ShowPageScrolling(this, BuildDialogPage(this, ProgressTemplate()));
    m_start = FindControl<QPushButton>(this, 1);
    m_bar = FindControl<QProgressBar>(this, IDC_PROGRESS_BAR);
    m_status = FindControl<QLabel>(this, IDC_PROGRESS_STATUS);
    m_attempt = FindControl<QLabel>(this, IDC_PROGRESS_ATTEMPT);
    m_target = FindControl<QLabel>(this, IDC_PROGRESS_TARGET);
    m_target->setTextFormat(Qt::PlainText);  // a file's name is never markup
    m_bar->setTextVisible(false);
    connect(m_start, &QPushButton::clicked, this, &CProgressDlg::OnOK);
    connect(FindControl<QPushButton>(this, 2), &QPushButton::clicked, this,
            &CProgressDlg::OnCancel);
}

void CProgressDlg::Create(QWidget* over) {
    m_bar->setRange(0, kProgressMaximum);
    m_bar->setValue(0);
    m_bCancel = 0;
    m_start->setEnabled(true);
    m_status->setText(Text(kStatusNotStarted));
    m_attempt->clear();
    setWindowTitle(m_strCaption);
    FitToScreen(this, over);
    show();
    m_start->setFocus();
}

void CProgressDlg::SetStatus(const QString& text) {
    m_status->setText(text);
}

QString CProgressDlg::Status() const {
    return m_status->text();
}

void CProgressDlg::SetAttempt(const QString& text) {
    m_attempt->setText(text);
}

QString CProgressDlg::Attempt() const {
    return m_attempt->text();
}

void CProgressDlg::SetTarget(const QString& text) {
    m_target->setText(text);
}

QString CProgressDlg::Target() const {
    return m_target->text();
}

void CProgressDlg::AllowStart() {
    m_start->setEnabled(true);
    m_start->setFocus();
}

int CProgressDlg::Position() const {
    return m_bar->value();
}

void CProgressDlg::SetPosition(int position) {
    m_bar->setValue(position);
}

void CProgressDlg::StepIt() {
    m_bar->setValue(qMin(m_bar->value() + kProgressStep, m_bar->maximum()));
}

bool CProgressDlg::IsStartEnabled() const {
    return m_start->isEnabled();
}

void CProgressDlg::OnOK() {
    if (!m_start->isEnabled()) {
        return;  // one window starts one run at most
    }
    m_start->setEnabled(false);
    emit startRequested();
}

void CProgressDlg::OnCancel() {
    const bool waiting = m_start->isEnabled();
    m_bCancel = 1;
    if (waiting) {
        DestroyWindow();  // no run started: nothing else to stop
    }
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    // The close box cancels; while a run goes, the run closes the window itself.
    event->ignore();
    OnCancel();
}
