// The about box: the application icon, the program name with its version, one line on what
// the program is for, and OK. It does nothing but close.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
