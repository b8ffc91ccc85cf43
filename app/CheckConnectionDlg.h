// Check Connection: the report of kvprog-cli doctor for the chosen port, each check with its
// result and fix, then a search for the radio on every other port (PortScan.h), a line a
// port, with Copy Report, Use This Port (once a radio has answered somewhere) and Close. The
// checks and probes run in a thread of their own; each port's outcome is posted back to the
// dialog. Closing the window stops the probe and waits for its thread, so the port is free
// again once the window is gone.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>
#include <thread>

#include "PortScan.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CCheckConnectionDlg : public QDialog {
    Q_OBJECT

public:
    // port: COM1-COM4, a device path or the demo port, as the Port menu chose it.
    CCheckConnectionDlg(const QString& port, QWidget* parent = nullptr);

    // Starts the checks; the report replaces "Checking..." port by port.
    void Start();
    QString ReportText() const;
    // True once every port has been checked.
    bool IsDone() const { return m_done; }

    void done(int result) override;

    // One port's outcome, as the worker posts it.
    struct Finding {
        ScanPort port;
        bool answered = false;
        QString line;    // ScanLine
        QString report;  // the whole report, for the chosen port only
    };

signals:
    // Use This Port: the port to use from now on.
    void portChosen(const QString& port);

private:
    void ShowChecking(const ScanPort& port, std::size_t index, std::size_t count);
    void ShowFinding(const Finding& finding);
    void ShowOutcome();
    void UseFoundPort();

    QString m_port;
    QString m_label;  // the port as messages name it: "COM1 (/dev/ttyUSB0)"
    QLabel* m_summary = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QPushButton* m_use = nullptr;
    QString m_chosenReport;
    QStringList m_scanLines;
    std::optional<ScanPort> m_found;  // the first port a radio answered on
    bool m_done = false;
    // Last, so that it is stopped and joined before anything else of the dialog goes.
    std::jthread m_worker;
};
