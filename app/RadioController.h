// The desktop program's exchanges with the radio: Read From Radio, Write To Radio (a safe
// write: back up, write, check), Compare With Radio, Restore Radio From Backup and Test Mode,
// on the port the Port menu chose. The controller owns the transfer progress dialog, runs the
// exchanges with the program's hooks, keeps the backups and the serial trace, and reports
// back through signals; the form only edits, it never talks to a radio.
#pragma once

#include <QObject>
#include <QString>

#include "CloneExchange.h"
#include "RadioImage.h"

class CKV_IIDoc;
class CKV_IIView;
class CProgressDlg;
class QWidget;
class ToneList;

// What the progress dialog's Start runs.
enum class RadioJob { Read, Write, Compare, Restore };

class CRadioController : public QObject {
    Q_OBJECT

public:
    // view and toneList outlive the controller; the progress dialog opens over the view.
    CRadioController(CKV_IIView& view, const ToneList& toneList, QObject* parent = nullptr);

    // The document, whose image a read replaces and a write sends.
    void SetDocument(CKV_IIDoc* document) { m_document = document; }

    // Each command commits an open edit, notes its job and opens the progress dialog; its
    // Start begins the run (OnRadioTransfer). A read asks first to save unsaved changes.
    void OnReadFromRadio();
    void OnWriteToRadio();
    // Check Connection: the connection report of the chosen port.
    void OnCheckConnection();
    // Reads the radio and shows how it differs from what the form shows; the document stays
    // as it is.
    void OnCompareWithRadio();
    // Asks for a backup in the backups folder and, once confirmed, writes it with the steps
    // of Write To Radio.
    void OnRestoreFromBackup(QWidget* parent);
    void OnRadioTransfer();
    // Production Mode: the form, encoded as a write would send it, into many radios.
    void OnProductionMode(QWidget* parent);
    // The alignment dialog, on the chosen port, for the band of the form's Field entry.
    void OnTestMode(QWidget* parent);

    // The port of the next exchange: "COM1" to "COM4" or a device path.
    const QString& Port() const { return m_port; }
    void SetPort(const QString& port);

    // The write's steps, remembered in the settings file; both on until the user says not.
    bool BackUpBeforeWriting() const;
    bool VerifyAfterWriting() const;
    void SetBackUpBeforeWriting(bool on);
    void SetVerifyAfterWriting(bool on);

    bool IsTransferRunning() const { return m_running; }
    // Made with the first command that needs it: the window shows without it.
    CProgressDlg& ProgressDialog();
    RadioJob Job() const { return m_job; }

signals:
    // A run started or ended.
    void transferRunningChanged(bool running);
    // What a run did, for the status bar: "Written to COM1 (/dev/ttyUSB0) and checked at 07:14".
    void statusMessage(const QString& text);
    // A run ended (a read, write, compare, restore, or a test mode Start): what it did, on
    // which port and when, or what went wrong; failed when the radio did not get, or may not
    // hold, what the run was for.
    void runEnded(const QString& text, bool failed);

private:
    struct Run;

    void OpenProgressDialog(RadioJob job);
    // Names the port, and the file a write sends, in the progress window: the next run's.
    void ShowTarget();
    // One function a job: each runs the exchange over run's port and notes in run what the
    // user is to hear once the progress window has gone.
    void RunRead(Run& run);
    void RunCompare(Run& run);
    void RunWrite(Run& run);
    void RunRestore(Run& run);
    void RunSafeWriteOf(Run& run, const RadioImage& image, const QString& name, bool restore);
    // What a run leaves once its window has gone: the document, the status bar, the boxes.
    void Finish(Run& run);

    CKV_IIView& m_view;
    const ToneList& m_toneList;
    CKV_IIDoc* m_document = nullptr;
    CProgressDlg* m_progressDlg = nullptr;  // its window exists only around a transfer
    QString m_port = QStringLiteral("COM1");
    RadioJob m_job = RadioJob::Read;
    bool m_running = false;
    RadioImage m_restoreImage;  // the backup Restore writes
    QString m_restoreName;
};
