// The small modeless dialog through which every clone run is started, followed and stopped.
// The object lives as long as the view; only its window comes and goes: a Read or Write
// command opens it, the run or Cancel closes it.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

inline constexpr int IDD_PROGRESS = 133;
inline constexpr int IDC_PROGRESS_BAR = 1003;
inline constexpr int IDC_PROGRESS_LABEL = 1004;
inline constexpr int IDC_PROGRESS_STATUS = 1005;
inline constexpr int IDC_PROGRESS_ATTEMPT = 1006;  // below the status: the handshake's attempt
inline constexpr int IDC_PROGRESS_TARGET = 1007;   // at the bottom: the port, and the file sent

class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProgressDlg(QWidget* parent = nullptr);

    // Non-zero once the user asked to cancel; reset whenever the window opens.
    int m_bCancel = 0;
    // The caption the window takes when it opens.
    QString m_strCaption;

    // Opens the window afresh (range, position, status, caption, Start enabled), centred
    // over `over` and inside the screen.
    void Create(QWidget* over);
    bool HasWindow() const { return isVisible(); }
    void DestroyWindow() { hide(); }

    void SetStatus(const QString& text);
    QString Status() const;
    // "attempt 3 of 15" below the status line, while a radio does not answer; "" hides it.
    void SetAttempt(const QString& text);
    QString Attempt() const;
    // What the run is with: "Port: COM1 (/dev/ttyUSB0)", and for a write a line naming the
    // file. Kept when the window opens again.
    void SetTarget(const QString& text);
    QString Target() const;
    // Start may be pressed again: the run it asked for did not begin.
    void AllowStart();
    int Position() const;
    void SetPosition(int position);
    // Advances the bar by its step.
    void StepIt();
    bool IsStartEnabled() const;

signals:
    // Start was pressed: the view begins a run once control is back in the event loop.
    void startRequested();

public slots:
    void OnOK();
    void OnCancel();

protected:
    // Enter presses Start; Escape and the close box cancel.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* m_start = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_attempt = nullptr;
    QLabel* m_target = nullptr;
};
