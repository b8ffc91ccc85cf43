#include "CheckConnectionDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "Doctor.h"
#include "MakePort.h"
#include "PortNames.h"

CCheckConnectionDlg::CCheckConnectionDlg(const QString& port, QWidget* parent)
    : QDialog(parent),
      m_port(port),
      m_label(QString::fromStdString(PortWithDevice(port.toStdString()))) {
    setWindowTitle(QStringLiteral("Check Connection"));
    m_summary = new QLabel(QStringLiteral("Checking %1...").arg(m_label), this);
    m_summary->setTextFormat(Qt::PlainText);
    m_report = new QPlainTextEdit(this);
    m_report->setReadOnly(true);
    m_report->setObjectName(QStringLiteral("connectionReport"));
    m_report->setAccessibleName(QStringLiteral("Connection report"));
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy =
        buttons->addButton(QStringLiteral("Copy Report"), QDialogButtonBox::ActionRole);
    m_use = buttons->addButton(QStringLiteral("Use This Port"), QDialogButtonBox::AcceptRole);
    m_use->setEnabled(false);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(ReportText()); });
    connect(m_use, &QPushButton::clicked, this, [this] {
        emit portChosen(m_port);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_report);
    layout->addWidget(buttons);
    resize(720, 480);
}

void CCheckConnectionDlg::Start() {
    const std::string port = m_port.toStdString();
    QPointer<CCheckConnectionDlg> self(this);
    // The probe waits for the radio for a few seconds: not on the window's thread.
    m_worker = std::jthread([self, port](std::stop_token stop) {
        const std::unique_ptr<IPort> probe = MakePort(port);
        const DoctorReport report = RunDoctor(port, *probe, {}, stop);
        if (stop.stop_requested()) {
            return;  // the window is closing
        }
        const QString text = QString::fromStdString(DoctorText(report));
        const bool answered = report.identification.has_value();
        QMetaObject::invokeMethod(
            qApp,
            [self, text, answered] {
                if (self) {
                    self->ShowReport(text, answered);
                }
            },
            Qt::QueuedConnection);
    });
}

// The window goes at once; the probe ends at its next pause, at most a receive's time-out
// away, and its port is closed when the thread ends, before the caller goes on.
void CCheckConnectionDlg::done(int result) {
    QDialog::done(result);
    m_worker.request_stop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void CCheckConnectionDlg::ShowReport(const QString& text, bool answered) {
    m_report->setPlainText(text);
    m_summary->setText(answered ? QStringLiteral("A radio answered on %1.").arg(m_label)
                                : QStringLiteral("No radio answered on %1: see the checks and "
                                                 "their fixes below.")
                                      .arg(m_label));
    m_use->setEnabled(answered);
    m_done = true;
}

QString CCheckConnectionDlg::ReportText() const {
    return m_summary->text() + QStringLiteral("\n\n") + m_report->toPlainText();
}
