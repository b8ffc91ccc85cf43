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
#include <functional>

#include "Doctor.h"
#include "MakePort.h"
#include "PortNames.h"

namespace {

// Runs call on the window's thread, unless the dialog has gone by then.
void Post(const QPointer<CCheckConnectionDlg>& self,
          std::function<void(CCheckConnectionDlg&)> call) {
    QMetaObject::invokeMethod(
        qApp,
        [self, call = std::move(call)] {
            if (self) {
                call(*self);
            }
        },
        Qt::QueuedConnection);
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CCheckConnectionDlg::CCheckConnectionDlg(const QString& port, QWidget* parent)
    : QDialog(parent), m_port(port), m_label(FromStd(PortWithDevice(port.toStdString()))) {
    setWindowTitle(QStringLiteral("Check Connection"));
    m_summary = new QLabel(QStringLiteral("Checking %1...").arg(m_label), this);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_report = new QPlainTextEdit(this);
    m_report->setReadOnly(true);
    m_report->setObjectName(QStringLiteral("connectionReport"));
    m_report->setAccessibleName(QStringLiteral("Connection report"));
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy =
        buttons->addButton(QStringLiteral("Copy Report"), QDialogButtonBox::ActionRole);
    m_use = buttons->addButton(QStringLiteral("Use This Port"), QDialogButtonBox::AcceptRole);
    m_use->setEnabled(false);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(ReportText()); });
    connect(m_use, &QPushButton::clicked, this, &CCheckConnectionDlg::UseFoundPort);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_report);
    layout->addWidget(buttons);
    resize(720, 480);
}

void CCheckConnectionDlg::Start() {
    const std::string chosen = m_port.toStdString();
    QPointer<CCheckConnectionDlg> self(this);
    // Each probe waits for a radio for a few seconds: not on the window's thread.
    m_worker = std::jthread([self, chosen](std::stop_token stop) {
        const std::vector<ScanPort> ports = PortsToScan(chosen);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const ScanPort& port = ports[i];
            Post(self, [port, i, n = ports.size()](CCheckConnectionDlg& dialog) {
                dialog.ShowChecking(port, i, n);
            });
            const std::unique_ptr<IPort> probe = MakePort(port.name);
            const DoctorReport report = RunDoctor(port.name, *probe, {}, stop);
            if (stop.stop_requested()) {
                return;  // the window is closing
            }
            const Finding finding{port, report.identification.has_value(),
                                  FromStd(ScanLine(report)),
                                  i == 0 ? FromStd(DoctorText(report)) : QString()};
            Post(self, [finding](CCheckConnectionDlg& dialog) { dialog.ShowFinding(finding); });
        }
        Post(self, [](CCheckConnectionDlg& dialog) { dialog.ShowOutcome(); });
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

void CCheckConnectionDlg::ShowChecking(const ScanPort& port, std::size_t index, std::size_t count) {
    m_summary->setText(index == 0 ? QStringLiteral("Checking %1...").arg(m_label)
                                  : QStringLiteral("Looking for the radio on %1 (port %2 of "
                                                   "%3)...")
                                        .arg(FromStd(port.label))
                                        .arg(index + 1)
                                        .arg(count));
}

void CCheckConnectionDlg::ShowFinding(const Finding& finding) {
    if (m_scanLines.isEmpty()) {
        m_chosenReport = finding.report;
    }
    m_scanLines << QStringLiteral("  %1: %2").arg(FromStd(finding.port.label), finding.line);
    if (finding.answered && !m_found) {
        m_found = finding.port;
    }
    m_report->setPlainText(m_chosenReport + QStringLiteral("\nEvery port:\n") +
                           m_scanLines.join(QLatin1Char('\n')));
}

void CCheckConnectionDlg::ShowOutcome() {
    m_done = true;
    m_use->setEnabled(m_found.has_value());
    if (!m_found) {
        m_summary->setText(QStringLiteral("No radio answered on %1 or any other port: see the "
                                          "checks and their fixes below.")
                               .arg(m_label));
        return;
    }
    if (m_found->name == m_port.toStdString()) {
        m_summary->setText(QStringLiteral("A radio answered on %1.").arg(m_label));
        return;
    }
    const QString com = FromStd(ComToMap(m_port.toStdString()));
    const QString found = FromStd(m_found->label);
    m_summary->setText(
        QStringLiteral("No radio answered on %1, but one did on %2. %3")
            .arg(m_label, found,
                 com.isEmpty() ? QStringLiteral("Use This Port chooses it.")
                               : QStringLiteral("Use This Port makes %1 that port.").arg(com)));
}

// The Port menu's COM names are what users choose: the one chosen (or COM1) now stands for
// the port the radio answered on, in the settings file both programs read.
void CCheckConnectionDlg::UseFoundPort() {
    const std::string chosen = m_port.toStdString();
    const std::string com = ComToMap(chosen);
    if (!m_found || m_found->name == chosen) {
        emit portChosen(m_port);
    } else if (com.empty()) {
        emit portChosen(FromStd(m_found->name));
    } else {
        MapPortInSettings(com, m_found->mapTo);
        emit portChosen(FromStd(com));
    }
    accept();
}

QString CCheckConnectionDlg::ReportText() const {
    return m_summary->text() + QStringLiteral("\n\n") + m_report->toPlainText();
}
