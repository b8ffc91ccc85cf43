// Check Connection: the report of kvprog-cli doctor for the chosen port, each check with its
// result and fix, with Copy Report, Use This Port (once a radio has answered on a port that
// is not the chosen one yet) and Close. The checks and the probe run in a thread of their
// own; the report is posted back to the dialog. Closing the window stops the probe and waits
// for its thread, so the port is free again once the window is gone.
#pragma once

#include <QDialog>
#include <QString>
#include <thread>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CCheckConnectionDlg : public QDialog {
    Q_OBJECT

public:
    // port: COM1-COM4 or a device path, as the Port menu chose it.
    CCheckConnectionDlg(const QString& port, QWidget* parent = nullptr);

    // Starts the checks; the report replaces "Checking..." when they are done.
    void Start();
    QString ReportText() const;
    // True once the checks have ended.
    bool IsDone() const { return m_done; }

    void done(int result) override;

signals:
    // Use This Port: the port a radio answered on.
    void portChosen(const QString& port);

private:
    void ShowReport(const QString& text, bool answered);

    QString m_port;
    QString m_label;  // the port as messages name it: "COM1 (/dev/ttyUSB0)"
    QLabel* m_summary = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QPushButton* m_use = nullptr;
    bool m_done = false;
    // Last, so that it is stopped and joined before anything else of the dialog goes.
    std::jthread m_worker;
};
