#include "PrintCommands.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <span>

#include "FileIO.h"
#include "MessageBox.h"
#include "Modules.h"
#include "ScreenFit.h"
#include "SheetPrinter.h"

namespace {

constexpr int kPdfResolution = 300;
const char* const kNoPrintSupport = "Printing is not available: its module cannot be loaded.";

// The settings sheet of data as the printer's page; data must outlive the page.
ISheetPrinter::DrawPage SheetPage(const SheetData& data) {
    return [&data](QPainter& painter, const QRect& area, int dpiX, int dpiY) {
        DrawSettingsSheet(painter, area, dpiX, dpiY, data);
    };
}

template <typename Function>
Function PrintSupport(const char* function) {
    return reinterpret_cast<Function>(ModuleFunction(kPrintSupportModule, function));
}

}  // namespace

CPrintCommands::CPrintCommands() = default;

CPrintCommands::~CPrintCommands() = default;

ISheetPrinter* CPrintCommands::Printer(QWidget* parent) {
    if (!m_printer) {
        static const auto make = PrintSupport<NewSheetPrinterFunction>(kNewSheetPrinterFunction);
        if (!make) {
            ShowMessage(parent, QString::fromUtf8(kNoPrintSupport));
            return nullptr;
        }
        m_printer.reset(
            make([](QWidget* over, const QString& text) { ShowMessage(over, text); }, FitToScreen));
    }
    return m_printer.get();
}

void CPrintCommands::OnFilePrint(const EditorModel& model, QWidget* parent) {
    const SheetData data = SheetFromEditor(model);
    if (ISheetPrinter* printer = Printer(parent)) {
        printer->Print(SheetPage(data), parent);
    }
}

bool CPrintCommands::OnFilePrintDirect(const EditorModel& model, QWidget* parent,
                                       const QString& printerName) {
    const SheetData data = SheetFromEditor(model);
    ISheetPrinter* printer = Printer(parent);
    return printer && printer->PrintDirect(SheetPage(data), parent, printerName);
}

void CPrintCommands::OnFilePrintPreview(const EditorModel& model, QWidget* parent) {
    const SheetData data = SheetFromEditor(model);
    if (ISheetPrinter* printer = Printer(parent)) {
        printer->Preview(SheetPage(data), parent);
    }
}

void CPrintCommands::OnFilePrintSetup(QWidget* parent) {
    if (ISheetPrinter* printer = Printer(parent)) {
        printer->Setup(parent);
    }
}

bool PrintToPdf(const SheetData& data, const QString& path, QString* error) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QString::fromUtf8(kSheetDocumentName));
        QPainter painter;
        bool drawn = painter.begin(&writer);
        if (drawn) {
            DrawSettingsSheet(painter, QRect(0, 0, writer.width(), writer.height()),
                              writer.logicalDpiX(), writer.logicalDpiY(), data);
            drawn = painter.end();
        }
        if (!drawn) {
            if (error) {
                *error = QStringLiteral("Printing the settings sheet failed.");
            }
            return false;
        }
    }
    const QByteArray& bytes = pdf.buffer();
    const Result<> written =
        WriteFileAtomically(PathFromUtf8(path.toStdString()),
                            std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())),
                            "Cannot write the PDF file");
    if (!written && error) {
        *error = QString::fromStdString(written.message);
    }
    return written.ok();
}
