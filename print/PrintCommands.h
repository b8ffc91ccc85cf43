// The File menu's print commands and the command line's print switches. One printer object
// lives for the whole run, so what Print Setup and the print dialog choose stays chosen. The
// printer itself is in a module loaded with the first print command (SheetPrinter.h).
#pragma once

#include <QString>
#include <memory>

#include "SettingsSheet.h"

class ISheetPrinter;
class QWidget;

class CPrintCommands {
public:
    CPrintCommands();
    ~CPrintCommands();
    CPrintCommands(const CPrintCommands&) = delete;
    CPrintCommands& operator=(const CPrintCommands&) = delete;

    // File > Print...: the print dialog (one page), then the sheet of what the form shows.
    void OnFilePrint(const EditorModel& model, QWidget* parent);

    // Prints without a dialog on the printer chosen so far (the system's default at first),
    // or on printerName when one is given. False, after a message, when nothing was printed.
    bool OnFilePrintDirect(const EditorModel& model, QWidget* parent,
                           const QString& printerName = QString());

    // File > Print Preview: the sheet's single page in the preview window, printable from there.
    void OnFilePrintPreview(const EditorModel& model, QWidget* parent);

    // File > Print Setup...: paper and orientation of the program's printer.
    void OnFilePrintSetup(QWidget* parent);

private:
    // The printer, made on first use; nullptr, after a message, when its module cannot be
    // loaded.
    ISheetPrinter* Printer(QWidget* parent);

    std::unique_ptr<ISheetPrinter> m_printer;
};

// Writes the sheet to a one-page A4 PDF at 300 dpi, as a file saves: made in memory, written
// beside its place with every write checked, then renamed over it, so a failure leaves an
// existing PDF as it was; a target that is no regular file, or is read-only, is refused.
// False with the reason in *error (when given). Needs a QGuiApplication but no window,
// display or print system.
bool PrintToPdf(const SheetData& data, const QString& path, QString* error);
