// The part of the Production Mode dialog that follows a run: a row per port (its state, its
// progress bar, the last radio's result as a badge to read across the room, where a failed
// job's ID went, why it failed and its backup) and the counts of radios done and failed. The
// run's worker threads report to it through Observer(), which only ever posts to this
// widget's thread.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <atomic>
#include <memory>
#include <vector>

#include "FleetObserver.h"

class QGridLayout;
class QLabel;
class QProgressBar;
class QScrollArea;
class QTextEdit;

class CProductionRows : public QWidget {
    Q_OBJECT

public:
    explicit CProductionRows(QWidget* parent = nullptr);
    ~CProductionRows() override;

    // Keeps room for this many rows before they scroll.
    void SetRowsShown(int rows);

    // A fresh row for each port (shown as its text), nothing run yet. backup: whether a job
    // begins by backing the radio up, which tells the first stage of a job.
    void SetPorts(const QStringList& texts, bool backup);

    // What the worker threads call; safe from any thread.
    IFleetObserver& Observer();

    int Done() const { return m_done; }
    int Failed() const { return m_failed; }
    // Ports waiting for the user to say the next radio is connected.
    int WaitingForUser() const;

    // A row as the user reads it: "backing up", "writing", "checking", "done", "failed",
    // then what the port waits for or "stopped", after how its last job ended ("done,
    // waiting: connect the next radio"); the last radio's "0099  ok", "0100  failed" (the
    // radio may hold it) or "not written"; where a failed job's ID went; why it failed.
    QString State(int port) const;
    QString Result(int port) const;
    QString Fate(int port) const;
    QString Message(int port) const;

signals:
    // Ports began or ended waiting for the user.
    void waitingChanged();
    // A port's worker stopped.
    void portDone();

private:
    class CObserver;
    struct Row {
        QLabel* state = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* result = nullptr;
        QLabel* fate = nullptr;
        QTextEdit* message = nullptr;
        bool waitingForUser = false;
        QString ended;  // how the port's last job ended: "done", "failed"; empty while one runs
    };

    void Waiting(int port, FleetWait what);
    void JobStarted(int port, int job, const std::string& pttId);
    void JobStatus(int port, const std::string& status);
    void JobProgress(int port, int position);
    void JobEnded(int port, int job, const FleetJobOutcome& outcome, const std::string& logError);
    void PortDone(int port);
    static QString AfterEnd(const Row& row, const QString& state);
    void SetState(Row& row, const QString& state, bool waitingForUser = false);
    void ShowCounts();

    QScrollArea* m_rowsArea = nullptr;
    QGridLayout* m_grid = nullptr;
    QLabel* m_counts = nullptr;
    std::vector<Row> m_rows;
    std::vector<QWidget*> m_rowWidgets;  // made by SetPorts, deleted by the next
    std::unique_ptr<CObserver> m_observer;
    // Counts SetPorts calls: a report still queued from the rows before is dropped.
    std::atomic<int> m_generation{0};
    bool m_backup = true;
    int m_done = 0;
    int m_failed = 0;
};
