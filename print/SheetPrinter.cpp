// The module kvprintsupport: the printer and its dialogs (SheetPrinter.h).
#include "SheetPrinter.h"

#include <QDir>
#include <QFile>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

namespace {

// A printer that has a real device behind it, or a file chosen in the print dialog.
bool HasDestination(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return !printer.outputFileName().isEmpty();
    }
    return !printer.printerName().isEmpty() &&
           !QPrinterInfo::printerInfo(printer.printerName()).isNull();
}

// Draws the page on one page of printer; false with a message in *error when the printer
// cannot be opened.
bool PrintPage(QPrinter& printer, const ISheetPrinter::DrawPage& draw, QString* error) {
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
    draw(painter, QRect(0, 0, printer.width(), printer.height()), printer.logicalDpiX(),
         printer.logicalDpiY());
    if (!painter.end()) {
        if (error) {
            *error = QStringLiteral("Printing the settings sheet failed.");
        }
        return false;
    }
    return true;
}

class CSheetPrinter final : public ISheetPrinter {
public:
    CSheetPrinter(Report report, Fit fit) : m_report(std::move(report)), m_fit(std::move(fit)) {}

    void Print(const DrawPage& draw, QWidget* parent) override {
        QPrintDialog dialog(&Printer(), parent);
        dialog.setMinMax(1, 1);
        dialog.setFromTo(1, 1);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        m_fit(&dialog, parent);
        if (dialog.exec() == QDialog::Accepted) {
            PrintOrReport(Printer(), draw, parent);
        }
    }

    bool PrintDirect(const DrawPage& draw, QWidget* parent, const QString& printerName) override {
        if (!printerName.isEmpty()) {
            if (QPrinterInfo::printerInfo(printerName).isNull()) {
                m_report(parent,
                         QStringLiteral("The printer \"%1\" is not available.").arg(printerName));
                return false;
            }
            Printer().setOutputFormat(QPrinter::NativeFormat);
            Printer().setPrinterName(printerName);
        }
        if (!HasDestination(Printer())) {
            m_report(parent, QStringLiteral("No printer is available. Install a printer, or "
                                            "choose one in the print dialog."));
            return false;
        }
        return PrintOrReport(Printer(), draw, parent);
    }

    void Preview(const DrawPage& draw, QWidget* parent) override {
        QPrintPreviewDialog dialog(&Printer(), parent);
        QObject::connect(
            &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [this, &draw, &dialog](QPrinter* printer) { PrintOrReport(*printer, draw, &dialog); });
        m_fit(&dialog, parent);
        dialog.exec();
    }

    void Setup(QWidget* parent) override {
        QPageSetupDialog dialog(&Printer(), parent);
        m_fit(&dialog, parent);
        dialog.exec();
    }

private:
    // Made on first use: setting a printer up asks the print system about its printers.
    QPrinter& Printer() {
        if (!m_printer) {
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_printer->setDocName(kSheetDocumentName);
        }
        return *m_printer;
    }

    bool PrintOrReport(QPrinter& printer, const DrawPage& draw, QWidget* parent) {
        QString error;
        if (!PrintPage(printer, draw, &error)) {
            m_report(parent, error);
            return false;
        }
        return true;
    }

    Report m_report;
    Fit m_fit;
    std::unique_ptr<QPrinter> m_printer;
};

}  // namespace

extern "C" Q_DECL_EXPORT ISheetPrinter* kvprog_NewSheetPrinter(ISheetPrinter::Report report,
                                                               ISheetPrinter::Fit fit) {
    return new CSheetPrinter(std::move(report), std::move(fit));
}
