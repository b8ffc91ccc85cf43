#include "ProductionRows.h"

#include <QAbstractTextDocumentLayout>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtMath>

#include "AccessibleText.h"
#include "RadioTexts.h"
#include "SafeWrite.h"

namespace {

// A result is told by its words; the badge's colour and size are for a glance across the
// room.
constexpr char kOkStyle[] =
    "color: white; background-color: #1b7a2e; border-radius: 4px; padding: 0px 8px;";
constexpr char kFailedStyle[] =
    "color: white; background-color: #c62828; border-radius: 4px; padding: 0px 8px;";
constexpr char kReasonStyle[] = "color: #c62828;";
constexpr double kBadgeScale = 2.6;

// A text that wraps anywhere a line must break, however long a path in it is, and is always
// as tall as its lines: the reason of a failed job, read and copied as it is.
class CWrappingText final : public QTextEdit {
public:
    explicit CWrappingText(QWidget* parent) : QTextEdit(parent) {
        setReadOnly(true);
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        viewport()->setAutoFillBackground(false);
        document()->setDocumentMargin(0);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                this, [this](const QSizeF& size) { setFixedHeight(qCeil(size.height())); });
    }
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

// Every call comes from a worker thread: it copies what it was told into a call that the
// widget's own thread runs later. A call still queued when the widget goes is dropped.
class CProductionRows::CObserver final : public IFleetObserver {
public:
    explicit CObserver(CProductionRows* rows) : m_rows(rows) {}

    void Waiting(int port, FleetWait what) override {
        Post([=](CProductionRows* rows) { rows->Waiting(port, what); });
    }
    void JobStarted(int port, int job, const std::string& pttId) override {
        Post([=](CProductionRows* rows) { rows->JobStarted(port, job, pttId); });
    }
    void JobStatus(int port, const std::string& status) override {
        Post([=](CProductionRows* rows) { rows->JobStatus(port, status); });
    }
    void JobProgress(int port, int position) override {
        Post([=](CProductionRows* rows) { rows->JobProgress(port, position); });
    }
    void JobEnded(int port, int job, const FleetJobOutcome& outcome,
                  const std::string& logError) override {
        Post([=](CProductionRows* rows) { rows->JobEnded(port, job, outcome, logError); });
    }
    void PortDone(int port) override {
        Post([=](CProductionRows* rows) { rows->PortDone(port); });
    }

private:
    template <typename Call>
    void Post(Call call) {
        CProductionRows* rows = m_rows;
        const int generation = rows->m_generation.load();
        QMetaObject::invokeMethod(
            rows,
            [rows, generation, call = std::move(call)] {
                if (generation == rows->m_generation.load()) {
                    call(rows);
                }
            },
            Qt::QueuedConnection);
    }

    CProductionRows* const m_rows;
};

CProductionRows::CProductionRows(QWidget* parent)
    : QWidget(parent), m_observer(std::make_unique<CObserver>(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The rows scroll when there are more than fit; the counts stay in view below them.
    auto* area = new QScrollArea(this);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFocusPolicy(Qt::NoFocus);
    auto* grid = new QWidget;
    auto* gridLayout = new QVBoxLayout(grid);
    m_grid = new QGridLayout;
    m_grid->setColumnStretch(1, 1);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(2);
    const QStringList headers = {QStringLiteral("Port"), QStringLiteral("Progress"),
                                 QStringLiteral("Last radio")};
    for (int column = 0; column < headers.size(); ++column) {
        auto* header = new QLabel(headers[column], grid);
        QFont font = header->font();
        font.setBold(true);
        header->setFont(font);
        m_grid->addWidget(header, 0, column);
    }
    gridLayout->addLayout(m_grid);
    gridLayout->addStretch(1);
    area->setWidget(grid);
    m_rowsArea = area;
    layout->addWidget(area, 1);

    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("counts"));
    QFont font = m_counts->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    m_counts->setFont(font);
    layout->addWidget(m_counts);
    ShowCounts();
}

CProductionRows::~CProductionRows() = default;

void CProductionRows::SetRowsShown(int rows) {
    SetPorts(QStringList(rows, QStringLiteral("COM1 (/dev/ttyUSB0)")), m_backup);
    // Each row with room for a failed job: where its ID went and two lines of why.
    constexpr int kFailureLines = 3;
    m_rowsArea->setMinimumHeight(m_rowsArea->widget()->sizeHint().height() +
                                 rows * kFailureLines * fontMetrics().lineSpacing() +
                                 2 * m_rowsArea->frameWidth());
    SetPorts({}, m_backup);
}

IFleetObserver& CProductionRows::Observer() {
    return *m_observer;
}

void CProductionRows::SetPorts(const QStringList& texts, bool backup) {
    for (QWidget* widget : m_rowWidgets) {
        delete widget;
    }
    m_rowWidgets.clear();
    ++m_generation;
    m_rows.assign(static_cast<std::size_t>(texts.size()), Row());
    m_backup = backup;
    m_done = 0;
    m_failed = 0;
    for (int i = 0; i < texts.size(); ++i) {
        Row& row = m_rows[static_cast<std::size_t>(i)];
        QWidget* grid = m_rowsArea->widget();
        // The port, its bar and the last radio's result; below the bar the state, and why
        // the last job failed.
        const int line = 1 + 2 * i;
        auto* port = new QLabel(texts[i], grid);
        row.state = new QLabel(QStringLiteral("ready"), grid);
        row.bar = new QProgressBar(grid);
        row.bar->setRange(0, kProgressMaximum);
        row.bar->setValue(0);
        row.bar->setTextVisible(false);
        SetAccessibleText(row.bar, QStringLiteral("Progress on %1").arg(texts[i]), QString());
        row.result = new QLabel(grid);
        QFont big = row.result->font();
        big.setPointSizeF(big.pointSizeF() * kBadgeScale);
        big.setBold(true);
        row.result->setFont(big);
        row.result->setAlignment(Qt::AlignCenter);
        row.result->setMinimumWidth(
            row.result->fontMetrics().horizontalAdvance(QStringLiteral("not written")) +
            row.result->fontMetrics().averageCharWidth() * 2);
        row.fate = new QLabel(grid);
        QFont bold = row.fate->font();
        bold.setBold(true);
        row.fate->setFont(bold);
        row.fate->setWordWrap(true);
        row.fate->setTextFormat(Qt::PlainText);
        row.fate->hide();
        row.message = new CWrappingText(grid);
        row.message->setStyleSheet(QString::fromUtf8(kReasonStyle));
        SetAccessibleText(row.message,
                          QStringLiteral("Why the last job on %1 failed").arg(texts[i]), QString());
        row.message->hide();
        auto* below = new QWidget(grid);
        auto* belowLayout = new QVBoxLayout(below);
        belowLayout->setContentsMargins(0, 0, 0, 6);
        belowLayout->setSpacing(2);
        belowLayout->addWidget(row.state);
        belowLayout->addWidget(row.fate);
        belowLayout->addWidget(row.message);
        m_grid->addWidget(port, line, 0);
        m_grid->addWidget(row.bar, line, 1);
        m_grid->addWidget(row.result, line, 2);
        m_grid->addWidget(below, line + 1, 1, 1, 2);
        m_rowWidgets.insert(m_rowWidgets.end(), {port, row.bar, row.result, below});
    }
    ShowCounts();
    emit waitingChanged();
}

int CProductionRows::WaitingForUser() const {
    int waiting = 0;
    for (const Row& row : m_rows) {
        waiting += row.waitingForUser ? 1 : 0;
    }
    return waiting;
}

QString CProductionRows::State(int port) const {
    return m_rows.at(static_cast<std::size_t>(port)).state->text();
}

QString CProductionRows::Result(int port) const {
    return m_rows.at(static_cast<std::size_t>(port)).result->text();
}

QString CProductionRows::Fate(int port) const {
    return m_rows.at(static_cast<std::size_t>(port)).fate->text();
}

QString CProductionRows::Message(int port) const {
    return m_rows.at(static_cast<std::size_t>(port)).message->toPlainText();
}

// The last job's end stays in view while the port waits, beside its result.
QString CProductionRows::AfterEnd(const Row& row, const QString& state) {
    return row.ended.isEmpty() ? state : row.ended + QStringLiteral(", ") + state;
}

void CProductionRows::SetState(Row& row, const QString& state, bool waitingForUser) {
    row.state->setText(state);
    if (row.waitingForUser != waitingForUser) {
        row.waitingForUser = waitingForUser;
        emit waitingChanged();
    }
}

void CProductionRows::Waiting(int port, FleetWait what) {
    static const QString kTexts[] = {QStringLiteral("waiting: connect the next radio"),
                                     QStringLiteral("waiting for the radio to be switched off"),
                                     QStringLiteral("waiting for the next radio")};
    Row& row = m_rows.at(static_cast<std::size_t>(port));
    SetState(row, AfterEnd(row, kTexts[static_cast<int>(what)]), what == FleetWait::NextRadio);
}

void CProductionRows::JobStarted(int port, int job, const std::string& pttId) {
    Row& row = m_rows.at(static_cast<std::size_t>(port));
    row.ended.clear();
    SetState(row, m_backup ? QStringLiteral("backing up") : QStringLiteral("writing"));
    row.bar->setValue(0);
    row.result->setText(pttId.empty() ? QStringLiteral("#%1").arg(job) : Text(pttId));
    row.result->setStyleSheet(QString());
    row.fate->clear();
    row.fate->hide();
    row.message->clear();
    row.message->hide();
}

void CProductionRows::JobStatus(int port, const std::string& status) {
    Row& row = m_rows.at(static_cast<std::size_t>(port));
    if (status == kStatusBackingUp) {
        SetState(row, QStringLiteral("backing up"));
    } else if (status == kStatusWriting) {
        SetState(row, QStringLiteral("writing"));
    } else if (status == kStatusChecking) {
        SetState(row, QStringLiteral("checking"));
    }
}

void CProductionRows::JobProgress(int port, int position) {
    m_rows.at(static_cast<std::size_t>(port)).bar->setValue(position);
}

void CProductionRows::JobEnded(int port, int job, const FleetJobOutcome& outcome,
                               const std::string& logError) {
    Row& row = m_rows.at(static_cast<std::size_t>(port));
    const bool ok = outcome.ok;
    row.ended = ok ? QStringLiteral("done") : QStringLiteral("failed");
    SetState(row, row.ended);
    // The badge says what the radio holds: the new image, perhaps part of it, or nothing new.
    const QString who =
        outcome.pttId.empty() ? QStringLiteral("#%1").arg(job) : Text(outcome.pttId);
    row.result->setText(ok                     ? who + QStringLiteral("  ok")
                        : outcome.writeStarted ? who + QStringLiteral("  failed")
                                               : QStringLiteral("not written"));
    row.result->setStyleSheet(QString::fromUtf8(ok ? kOkStyle : kFailedStyle));
    if (ok) {
        row.bar->setValue(kProgressMaximum);
    }
    const bool told = !ok && !outcome.pttId.empty();
    row.fate->setText(told ? Text(outcome.fate) : QString());
    row.fate->setVisible(told);
    QStringList why;
    if (!ok) {
        why << Text(outcome.reason);
        const std::string& backup = outcome.record.backup;
        if (!backup.empty() && outcome.reason.find(backup) == std::string::npos) {
            why << QStringLiteral("Backup of what the radio held: ") + Text(backup);
        }
    }
    if (!logError.empty()) {
        why << QStringLiteral("Not in the job log: ") + Text(logError);
    }
    row.message->setPlainText(why.join(QLatin1Char('\n')));
    row.message->setVisible(!why.isEmpty());
    ++(ok ? m_done : m_failed);
    ShowCounts();
}

void CProductionRows::PortDone(int port) {
    Row& row = m_rows.at(static_cast<std::size_t>(port));
    SetState(row, AfterEnd(row, QStringLiteral("stopped")));
    emit portDone();
}

void CProductionRows::ShowCounts() {
    m_counts->setText(QStringLiteral("Done: %1     Failed: %2").arg(m_done).arg(m_failed));
}
