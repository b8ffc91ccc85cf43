#include "PrintCommands.h"

#include <QDir>
#include <QFile>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "MessageBox.h"

namespace {

const char* const kDocumentName = "The Radio Settings";
constexpr int kPdfResolution = 300;

// A printer that has a real device behind it, or a file chosen in the print dialog.
bool HasDestination(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return !printer.outputFileName().isEmpty();
    }
    return !printer.printerName().isEmpty() &&
           !QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

void PrintOrReport(QPrinter& printer, const SheetData& data, QWidget* parent) {
    QString error;
    if (!PrintSheet(printer, data, &error)) {
        ShowMessage(parent, error);
    }
}

}  // namespace

CPrintCommands::CPrintCommands() = default;

// Made on first use: setting a printer up asks the print system about its printers, which
// start-up need not wait for.
QPrinter& CPrintCommands::Printer() {
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_pPrinter->setDocName(kDocumentName);
    }
    return *m_pPrinter;
}

CPrintCommands::~CPrintCommands() = default;

void CPrintCommands::OnFilePrint(const EditorModel& model, QWidget* parent) {
    const SheetData data = SheetFromEditor(model);
    QPrintDialog dialog(&Printer(), parent);
    dialog.setMinMax(1, 1);
    dialog.setFromTo(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() == QDialog::Accepted) {
        PrintOrReport(Printer(), data, parent);
    }
}

bool CPrintCommands::OnFilePrintDirect(const EditorModel& model, QWidget* parent,
                                       const QString& printerName) {
    if (!printerName.isEmpty()) {
        if (QPrinterInfo::printerInfo(printerName).isNull()) {
            ShowMessage(parent,
                        QStringLiteral("The printer \"%1\" is not available.").arg(printerName));
            return false;
        }
        Printer().setOutputFormat(QPrinter::NativeFormat);
        Printer().setPrinterName(printerName);
    }
    if (!HasDestination(Printer())) {
        ShowMessage(parent, QStringLiteral("No printer is available. Install a printer, or "
                                           "choose one in the print dialog."));
        return false;
    }
    QString error;
    if (!PrintSheet(Printer(), SheetFromEditor(model), &error)) {
        ShowMessage(parent, error);
        return false;
    }
    return true;
}

void CPrintCommands::OnFilePrintPreview(const EditorModel& model, QWidget* parent) {
    const SheetData data = SheetFromEditor(model);
    QPrintPreviewDialog dialog(&Printer(), parent);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [&data, &dialog](QPrinter* printer) { PrintOrReport(*printer, data, &dialog); });
    dialog.exec();
}

void CPrintCommands::OnFilePrintSetup(QWidget* parent) {
    QPageSetupDialog dialog(&Printer(), parent);
    dialog.exec();
}

bool PrintSheet(QPrinter& printer, const SheetData& data, QString* error) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error) {
            *error = printer.outputFormat() == QPrinter::PdfFormat
                         ? QStringLiteral("Cannot write the file \"%1\".")
                               .arg(QDir::toNativeSeparators(printer.outputFileName()))
                         : QStringLiteral("Cannot print on the printer \"%1\".")
                               .arg(printer.printerName());
        }
        return false;
    }
    // The painter's origin is the printable area's top-left corner; the device's size is the
    // printable area's.
    DrawSettingsSheet(painter, QRect(0, 0, printer.width(), printer.height()),
                      printer.logicalDpiX(), printer.logicalDpiY(), data);
    if (!painter.end()) {
        if (error) {
            *error = QStringLiteral("Printing the settings sheet failed.");
        }
        return false;
    }
    return true;
}

bool PrintToPdf(const SheetData& data, const QString& path, QString* error) {
    // QPrinter reports a file it cannot open only on the console; opening it here first
    // yields the reason.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = QStringLiteral("Cannot write the PDF file \"%1\": %2.")
                         .arg(QDir::toNativeSeparators(path), probe.errorString());
        }
        return false;
    }
    probe.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kPdfResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(kDocumentName);
    printer.setOutputFileName(path);
    return PrintSheet(printer, data, error);
}
