#include "PrintCommands.h"

#include "MessageBox.h"
#include "Modules.h"
#include "SheetPrinter.h"

namespace {

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
    if (!m_pPrinter) {
        static const auto make = PrintSupport<NewSheetPrinterFunction>(kNewSheetPrinterFunction);
        if (!make) {
            ShowMessage(parent, QString::fromUtf8(kNoPrintSupport));
            return nullptr;
        }
        m_pPrinter.reset(make([](QWidget* over, const QString& text) { ShowMessage(over, text); }));
    }
    return m_pPrinter.get();
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
    static const auto print = PrintSupport<PrintToPdfFunction>(kPrintToPdfFunction);
    if (!print) {
        if (error) {
            *error = QString::fromUtf8(kNoPrintSupport);
        }
        return false;
    }
    return print(SheetPage(data), path, error);
}
