// Production Mode: the document written into one radio after the other, on several ports at
// once, each radio with its own PTT ID, every job a row of the job log. The dialog chooses
// the ports, the start ID, the log and automatic mode, then follows the run (fleet/FleetRun.h)
// a row per port. It is modal, so the document cannot change under a run; closing it stops
// the running jobs at a safe point first.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "FleetRun.h"
#include "RadioImage.h"
#include "SafeWrite.h"

class CProductionRows;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;

struct ProductionSetup {
    RadioImage document;  // as the form shows it
    QString name;         // the document's name
    QString file;         // its path for the log; the name when it has no file
    SafeWriteOptions write;
    QString port;       // the port of the next exchange, chosen at first
    QString traceFile;  // where every job's bytes on the line go; empty: nowhere
};

class CProductionDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProductionDlg(ProductionSetup setup, QWidget* parent = nullptr);
    ~CProductionDlg() override;

    // Start: checks the choices (a box says what is wrong) and begins the run.
    void OnStart();
    // The first press lets the running jobs end; a second stops them at their next safe point.
    void OnStop();
    // One radio more: the port that has waited longest goes on.
    void OnNextRadio();

    // Escape, Close and the window's close box: while jobs run they are stopped first, and
    // the dialog closes once every worker has ended.
    void reject() override;

    bool IsRunning() const { return m_run != nullptr; }
    CProductionRows& Rows() const { return *m_rows; }

private:
    struct PortChoice {
        QString name;  // "COM1" or a device path, as the run takes it
        QCheckBox* box = nullptr;
    };

    QWidget* BuildSettings(QWidget* page);
    void ShowRowsOfChosenPorts();
    QStringList ChosenPorts() const;
    void OnBrowse();
    // The start ID the chosen log leads to: the next after the highest ID it records.
    void ProposeStartId();
    // Begins the run of plan over the open log; false when the user would rather not give
    // again the IDs the log records.
    bool BeginRun(FleetPlan plan);
    void OnPortDone();
    void EndRun();
    void UpdateButtons();

    const ProductionSetup m_setup;
    std::vector<PortChoice> m_ports;
    QLineEdit* m_startId = nullptr;
    QLabel* m_idHint = nullptr;  // what the log records of IDs
    QLineEdit* m_logFile = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_automatic = nullptr;
    CProductionRows* m_rows = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_close = nullptr;
    QShortcut* m_space = nullptr;
    std::unique_ptr<CJobLog> m_log;
    std::unique_ptr<CFleetRun> m_run;  // while a run goes; ends before the log
    bool m_stopping = false;
    bool m_closeWhenDone = false;
};
