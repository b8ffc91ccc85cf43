// kvprog --print, --print-to and --print-pdf: the settings sheet of a file without a window.
#include <QFile>
#include <cstdio>

#include "FileIO.h"
#include "KV_IIApp.h"
#include "KV_IIView.h"
#include "MessageBox.h"
#include "PrintCommands.h"

// --print FILE, --print-to PRINTER FILE, --print-pdf OUT.pdf FILE: the file's sheet, as the
// form would show it after opening the file, and no window.
CKV_IIApp::StartResult CKV_IIApp::PrintFromCommandLine(const StartOptions& options) {
    // No window is shown, so nothing may wait on a box: messages go to standard error.
    MessageHandler previous = SetMessageHandler([](const MessageRequest& request) {
        std::fprintf(stderr, "kvprog: %s\n", qPrintable(request.text));
        return QMessageBox::Cancel;
    });
    const StartResult result = PrintFile(options);
    SetMessageHandler(std::move(previous));
    return result;
}

CKV_IIApp::StartResult CKV_IIApp::PrintFile(const StartOptions& options) {
    const bool toPdf = options.print == StartOptions::Print::Pdf;
    if (toPdf && IsSameFile(PathFromUtf8(options.printTarget.toStdString()),
                            PathFromUtf8(options.file.toStdString()))) {
        ShowMessage(nullptr, QStringLiteral("Cannot write the PDF file \"%1\": it is the same file "
                                            "as the input \"%2\".")
                                 .arg(options.printTarget, options.file));
        return StartResult::Failed;
    }
    if (!OpenFile(options.file)) {
        return StartResult::Failed;
    }
    if (toPdf) {
        QString error;
        if (!PrintToPdf(SheetFromEditor(m_pView->ReadEditor()), options.printTarget, &error)) {
            ShowMessage(nullptr, error);
            return StartResult::Failed;
        }
        return StartResult::Done;
    }
    const QString printer =
        options.print == StartOptions::Print::Printer ? options.printTarget : QString();
    return m_pPrint->OnFilePrintDirect(m_pView->ReadEditor(), nullptr, printer)
               ? StartResult::Done
               : StartResult::Failed;
}
