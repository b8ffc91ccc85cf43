// The desktop program's exchanges with the radio: Read From Radio, Write To Radio and Test
// Mode, on the port the Port menu chose. The controller owns the transfer progress dialog,
// runs the clone exchange with the program's hooks, keeps the backups and the serial trace,
// and reports back through signals; the form only edits, it never talks to a radio.
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

class CRadioController : public QObject {
    Q_OBJECT

public:
    // view and toneList outlive the controller; the progress dialog opens over the view.
    CRadioController(CKV_IIView& view, const ToneList& toneList, QObject* parent = nullptr);

    // The document, whose image a read replaces and a write sends.
    void SetDocument(CKV_IIDoc* document) { m_pDoc = document; }

    // Read and Write commit an open edit, note the direction and open the progress dialog;
    // its Start begins the run (OnRadioTransfer).
    void OnReadFromRadio();
    void OnWriteToRadio();
    void OnRadioTransfer();
    // The alignment dialog, on the chosen port, for the band of the form's Field entry.
    void OnTestMode(QWidget* parent);

    // The port of the next exchange: "COM1" to "COM4" or a device path.
    const QString& Port() const { return m_strPort; }
    void SetPort(const QString& port) { m_strPort = port; }

    bool IsTransferRunning() const { return m_bRunning; }
    // Made with the first Read or Write: the window shows without it.
    CProgressDlg& ProgressDialog();
    CloneDirection Direction() const { return m_direction; }

signals:
    // A clone run started or ended.
    void transferRunningChanged(bool running);
    // A complete read replaced the image, and the form shows it.
    void radioRead();

private:
    void OpenProgressDialog(CloneDirection direction);

    CKV_IIView& m_view;
    const ToneList& m_toneList;
    CKV_IIDoc* m_pDoc = nullptr;
    CProgressDlg* m_pProgressDlg = nullptr;  // its window exists only around a transfer
    QString m_strPort = QStringLiteral("COM1");
    CloneDirection m_direction = CloneDirection::Read;
    bool m_bRunning = false;
};
