#include "ProductionDlg.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "AccessibleText.h"
#include "Backups.h"
#include "FileDialog.h"
#include "FileIO.h"
#include "FleetRun.h"
#include "JobLog.h"
#include "MakePort.h"
#include "MessageBox.h"
#include "PortNames.h"
#include "ProductionRows.h"
#include "ScrollingPage.h"
#include "SerialPorts.h"
#include "TransferHooks.h"

namespace {

// Room for this many port rows before they scroll.
constexpr int kRowsShown = 3;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(Utf8Of(path));
}

}  // namespace

CProductionDlg::CProductionDlg(ProductionSetup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)) {
    setWindowTitle(QStringLiteral("Production Mode"));
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(BuildSettings(page));

    m_rows = new CProductionRows(page);
    m_rows->setObjectName(QStringLiteral("rows"));
    // Room for the first rows, so that the window keeps its size as ports are chosen.
    m_rows->SetRowsShown(kRowsShown);
    layout->addWidget(m_rows, 1);

    m_next = new QPushButton(QStringLiteral("&Next radio  (Space)"), page);
    m_next->setObjectName(QStringLiteral("nextRadio"));
    QFont big = m_next->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_next->setFont(big);
    m_next->setMinimumHeight(m_next->sizeHint().height() * 2);
    layout->addWidget(m_next);

    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(QStringLiteral("S&tart"), page);
    m_stop = new QPushButton(QStringLiteral("&Stop"), page);
    m_close = new QPushButton(QStringLiteral("Close"), page);
    m_start->setObjectName(QStringLiteral("start"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_close->setObjectName(QStringLiteral("close"));
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    for (QPushButton* button : {m_next, m_start, m_stop, m_close, m_browse}) {
        button->setAutoDefault(false);  // Enter presses the default button, whatever has focus
        SetAccessibleText(button, QString(), windowTitle());  // named by their texts
    }

    ShowRowsOfChosenPorts();
    page->adjustSize();
    ShowPageScrolling(this, page);

    // Space reaches the Next radio button from anywhere while it counts; the settings that
    // would take a space are disabled during a run.
    m_space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(m_space, &QShortcut::activated, m_next, &QPushButton::animateClick);
    connect(m_next, &QPushButton::clicked, this, &CProductionDlg::OnNextRadio);
    connect(m_start, &QPushButton::clicked, this, &CProductionDlg::OnStart);
    connect(m_stop, &QPushButton::clicked, this, &CProductionDlg::OnStop);
    connect(m_close, &QPushButton::clicked, this, &CProductionDlg::reject);
    connect(m_browse, &QPushButton::clicked, this, &CProductionDlg::OnBrowse);
    connect(m_logFile, &QLineEdit::editingFinished, this, &CProductionDlg::ProposeStartId);
    connect(m_automatic, &QCheckBox::toggled, this, &CProductionDlg::UpdateButtons);
    connect(m_rows, &CProductionRows::waitingChanged, this, &CProductionDlg::UpdateButtons);
    connect(m_rows, &CProductionRows::portDone, this, &CProductionDlg::OnPortDone);
    for (const PortChoice& port : m_ports) {
        connect(port.box, &QCheckBox::toggled, this, &CProductionDlg::ShowRowsOfChosenPorts);
    }
    ProposeStartId();
    UpdateButtons();
    m_start->setFocus();
}

// The workers report to the rows until they end; normally the dialog closes only after that.
CProductionDlg::~CProductionDlg() {
    if (m_run) {
        m_run->StopNow();
        m_run->Join();
    }
}

QWidget* CProductionDlg::BuildSettings(QWidget* page) {
    auto* settings = new QWidget(page);
    auto* form = new QFormLayout(settings);
    form->setContentsMargins(0, 0, 0, 0);

    auto* name = new QLabel(m_setup.name, settings);
    name->setTextFormat(Qt::PlainText);
    form->addRow(QStringLiteral("Document:"), name);
    auto* hash = new QLabel(Text(WrittenSha256(m_setup.document)), settings);
    hash->setObjectName(QStringLiteral("imageSha256"));
    hash->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    hash->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hash->setToolTip(
        QStringLiteral("The SHA-256 of the image sent, before a radio's ID is put "
                       "in; the job log has each radio's own"));
    form->addRow(QStringLiteral("Image SHA-256:"), hash);

    // COM1 to COM4 as they are mapped, then the serial ports present, then the demo port, each
    // named as the Port menu names it.
    std::vector<std::string> labels;
    for (std::string_view port : kPortNames) {
        m_ports.push_back({Text(port), nullptr});
        labels.push_back(PortWithDevice(port));
    }
    for (const SerialPortFacts& port : ScanSerialPorts()) {
        m_ports.push_back({QString::fromStdString(port.device), nullptr});
        labels.push_back(SerialPortText(port));
    }
    m_ports.push_back({Text(kDemoPortName), nullptr});
    labels.push_back(PortWithDevice(kDemoPortName));
    auto* ports = new QWidget(settings);
    auto* grid = new QGridLayout(ports);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        PortChoice& port = m_ports[i];
        QString text = QString::fromStdString(labels[i]);
        port.box = new QCheckBox(text.replace(QLatin1Char('&'), QStringLiteral("&&")), ports);
        port.box->setChecked(port.name == m_setup.port);
        SetAccessibleText(port.box, QString(), QStringLiteral("A port to program radios on"));
        const int index = static_cast<int>(i);
        grid->addWidget(port.box, index / 2, index % 2);
    }
    form->addRow(QStringLiteral("Ports:"), ports);

    m_startId = new QLineEdit(settings);
    m_startId->setObjectName(QStringLiteral("startId"));
    m_startId->setMaxLength(16);
    m_startId->setPlaceholderText(QStringLiteral("none: every radio keeps the document's ID"));
    m_startId->setMinimumWidth(
        m_startId->fontMetrics().horizontalAdvance(m_startId->placeholderText()) +
        m_startId->fontMetrics().averageCharWidth() * 3);
    SetAccessibleText(m_startId, QStringLiteral("Start ID"),
                      QStringLiteral("The first radio's PTT ID; each further radio gets the "
                                     "next one. Empty: no sequence"));
    m_idHint = new QLabel(settings);
    m_idHint->setObjectName(QStringLiteral("idHint"));
    m_idHint->setTextFormat(Qt::PlainText);
    m_idHint->setEnabled(false);  // the look of a hint
    auto* id = new QWidget(settings);
    auto* idRow = new QHBoxLayout(id);
    idRow->setContentsMargins(0, 0, 0, 0);
    idRow->addWidget(m_startId);
    idRow->addWidget(m_idHint, 1);
    form->addRow(QStringLiteral("Start &ID:"), id);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(id))) {
        label->setBuddy(m_startId);
    }

    auto* log = new QWidget(settings);
    auto* logRow = new QHBoxLayout(log);
    logRow->setContentsMargins(0, 0, 0, 0);
    m_logFile = new QLineEdit(Path(DefaultJobLogPath()), log);
    m_logFile->setObjectName(QStringLiteral("logFile"));
    m_logFile->setMinimumWidth(m_logFile->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    SetAccessibleText(m_logFile, QStringLiteral("Job log"),
                      QStringLiteral("The file that gets a row for every job"));
    m_browse = new QPushButton(QStringLiteral("&Browse..."), log);
    logRow->addWidget(m_logFile, 1);
    logRow->addWidget(m_browse);
    form->addRow(QStringLiteral("Job &log:"), log);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(log))) {
        label->setBuddy(m_logFile);
    }

    m_automatic = new QCheckBox(QStringLiteral("&Automatic"), settings);
    m_automatic->setObjectName(QStringLiteral("automatic"));
    const QString automatic = QStringLiteral(
        "The next job on a port starts by itself once the radio just programmed is switched "
        "off and another answers.");
    auto* explained = new QLabel(automatic, settings);
    explained->setWordWrap(true);
    explained->setEnabled(false);  // the look of a hint
    SetAccessibleText(m_automatic, QString(), automatic);
    form->addRow(m_automatic, explained);
    return settings;
}

QStringList CProductionDlg::ChosenPorts() const {
    QStringList chosen;
    for (const PortChoice& port : m_ports) {
        if (port.box->isChecked()) {
            chosen << port.name;
        }
    }
    return chosen;
}

// The rows show the ports the next run takes; after a run they keep its results until the
// choice changes.
void CProductionDlg::ShowRowsOfChosenPorts() {
    QStringList texts;
    for (const QString& port : ChosenPorts()) {
        texts << Text(PortWithDevice(port.toStdString()));
    }
    m_rows->SetPorts(texts, m_setup.write.backup);
}

void CProductionDlg::OnBrowse() {
    FileDialogRequest request;
    request.save = true;
    request.appends = true;
    request.caption = QStringLiteral("Job Log");
    request.suggested = m_logFile->text();
    request.filter = QStringLiteral("Job log (*.csv);;All Files (*)");
    request.suffix = QStringLiteral("csv");
    const QString path = AskFileName(this, request);
    if (!path.isEmpty()) {
        m_logFile->setText(path);
        ProposeStartId();
    }
}

void CProductionDlg::ProposeStartId() {
    CUsedIds used;
    const Result<> read =
        CJobLog::ReadUsed(PathFromUtf8(m_logFile->text().trimmed().toStdString()), used);
    if (!read) {
        m_idHint->setText(QStringLiteral("this file is not a job log it can read"));
        m_idHint->setToolTip(Sentence(read.message));
        return;
    }
    m_idHint->setToolTip(QString());
    if (used.Empty()) {
        m_idHint->setText(QStringLiteral("the log records no ID yet"));
        return;
    }
    m_idHint->setText(QStringLiteral("the log's highest ID: %1").arg(Text(used.Highest())));
    if (const std::string next = used.Next(); !next.empty()) {
        m_startId->setText(Text(next));
    }
}

void CProductionDlg::OnStart() {
    if (m_run) {
        return;
    }
    FleetPlan plan;
    const QStringList chosen = ChosenPorts();
    for (const QString& port : chosen) {
        plan.ports.push_back(port.toStdString());
    }
    plan.document = m_setup.document;
    plan.file = m_setup.file.toStdString();
    plan.idFrom = m_startId->text().trimmed().toStdString();
    plan.automatic = m_automatic->isChecked();
    plan.traceFile = m_setup.traceFile.toStdString();
    plan.write = m_setup.write;
    if (const Result<> checked = CFleetRun::Check(plan); !checked) {
        ShowMessage(this, Sentence(checked.message));
        return;
    }
    if (m_logFile->text().trimmed().isEmpty()) {
        m_logFile->setText(Path(DefaultJobLogPath()));
    }
    const std::filesystem::path logPath = PathFromUtf8(m_logFile->text().trimmed().toStdString());
    if (logPath == DefaultJobLogPath()) {
        EnsureBackupFolder();  // the data folder the default log lives in
    }
    auto log = std::make_unique<CJobLog>(logPath);
    if (const Result<> opened = log->Open(); !opened) {
        ShowMessage(this, Sentence(opened.message));
        return;
    }
    m_log = std::move(log);
    if (!BeginRun(std::move(plan))) {
        m_log.reset();  // another run may take it
        return;
    }
    ShowRowsOfChosenPorts();
    m_stopping = false;
    m_run->Start();
    UpdateButtons();
    (m_automatic->isChecked() ? m_stop : m_next)->setFocus();
}

bool CProductionDlg::BeginRun(FleetPlan plan) {
    auto run = std::make_unique<CFleetRun>(plan, *m_log, m_rows->Observer(), MakePort);
    if (const Result<> ids = run->CheckIds(); !ids) {
        MessageRequest again(
            Sentence(ids.message) + QStringLiteral("\n\nProgram radios with IDs the log records?"),
            windowTitle(), QMessageBox::Yes | QMessageBox::No);
        again.defaultButton = QMessageBox::No;
        if (ShowMessage(this, again) != QMessageBox::Yes) {
            return false;
        }
        plan.reuseIds = true;
        run = std::make_unique<CFleetRun>(std::move(plan), *m_log, m_rows->Observer(), MakePort);
    }
    m_run = std::move(run);
    return true;
}
void CProductionDlg::OnStop() {
    if (!m_run) {
        return;
    }
    if (!m_stopping) {
        m_stopping = true;
        m_run->StopAfterRunningJobs();
    } else {
        m_run->StopNow();
    }
    UpdateButtons();
}

void CProductionDlg::OnNextRadio() {
    if (m_run && !m_stopping) {
        m_run->NextRadio();
    }
}

void CProductionDlg::reject() {
    if (!m_run) {
        QDialog::reject();
        return;
    }
    // The dialog closes from EndRun, once the workers are out of the radios.
    m_closeWhenDone = true;
    m_stopping = true;
    m_run->StopNow();
    UpdateButtons();
}

void CProductionDlg::OnPortDone() {
    if (m_run && m_run->Finished()) {
        EndRun();
    }
}

void CProductionDlg::EndRun() {
    m_run->Join();
    const std::string stopped = m_run->StopReason();
    m_run.reset();
    m_log.reset();
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    // A second run goes on after the IDs this one used.
    ProposeStartId();
    UpdateButtons();
    m_start->setFocus();
    if (!stopped.empty()) {
        ShowMessage(this, Sentence(stopped));
    }
}

void CProductionDlg::UpdateButtons() {
    const bool running = m_run != nullptr;
    for (const PortChoice& port : m_ports) {
        port.box->setEnabled(!running);
    }
    for (QWidget* setting : {static_cast<QWidget*>(m_startId), static_cast<QWidget*>(m_logFile),
                             static_cast<QWidget*>(m_browse), static_cast<QWidget*>(m_automatic)}) {
        setting->setEnabled(!running);
    }
    const bool manual = !m_automatic->isChecked();
    m_next->setVisible(manual);
    m_next->setEnabled(running && manual && !m_stopping && m_rows->WaitingForUser() > 0);
    m_space->setEnabled(m_next->isEnabled());
    m_start->setEnabled(!running);
    m_stop->setEnabled(running && !m_closeWhenDone);
    m_stop->setText(running && m_stopping ? QStringLiteral("&Stop Now") : QStringLiteral("&Stop"));
    m_close->setEnabled(!m_closeWhenDone);
    m_close->setText(m_closeWhenDone ? QStringLiteral("Closing...") : QStringLiteral("Close"));
    (running && manual ? m_next : m_start)->setDefault(true);
}
