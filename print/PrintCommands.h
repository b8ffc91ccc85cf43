// The File menu's print commands and the command line's print switches. One printer object
// lives for the whole run, so what Print Setup and the print dialog choose stays chosen.
#pragma once

#include <QString>
#include <memory>

#include "SettingsSheet.h"

class QPrinter;
class QWidget;

class CPrintCommands {
public:
    CPrintCommands();
    ~CPrintCommands();
    CPrintCommands(const CPrintCommands&) = delete;
    CPrintCommands& operator=(const CPrintCommands&) = delete;

    // File > Print...: the print dialog (one page), then the sheet of model (what the form
    // shows).
    void OnFilePrint(const EditorModel& model, QWidget* parent);

    // Prints without a dialog on the printer chosen so far (the system's default at first),
    // or on printerName when one is given. False, after a message, when nothing was printed.
    bool OnFilePrintDirect(const EditorModel& model, QWidget* parent,
                           const QString& printerName = QString());

    // File > Print Preview: the sheet's single page in the preview window, printable from there.
    void OnFilePrintPreview(const EditorModel& model, QWidget* parent);

    // File > Print Setup...: paper and orientation of the program's printer.
    void OnFilePrintSetup(QWidget* parent);

    QPrinter& Printer();

private:
    std::unique_ptr<QPrinter> m_pPrinter;
};

// Draws the sheet on one page of printer; false with a message in *error when the printer
// cannot be opened.
bool PrintSheet(QPrinter& printer, const SheetData& data, QString* error);

// Writes the sheet to a one-page A4 PDF at 300 dpi. False with the reason in *error (when
// given) if the file cannot be written. Needs a QGuiApplication but no window or display.
bool PrintToPdf(const SheetData& data, const QString& path, QString* error);
