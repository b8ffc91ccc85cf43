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
CKV_IIApp::StartResult CKV_IIApp::PrintFromCommandLine(const QStringList& arguments) {
    // No window is shown, so nothing may wait on a box: messages go to standard error.
    MessageHandler previous = SetMessageHandler([](const MessageRequest& request) {
        std::fprintf(stderr, "kvprog: %s\n", qPrintable(request.text));
        return QMessageBox::Cancel;
    });
    const StartResult result = PrintFile(arguments);
    SetMessageHandler(std::move(previous));
    return result;
}

CKV_IIApp::StartResult CKV_IIApp::PrintFile(const QStringList& arguments) {
    const QString option = arguments.constFirst();
    const int expected = option == QStringLiteral("--print") ? 2 : 3;
    if ((option != QStringLiteral("--print") && option != QStringLiteral("--print-to") &&
         option != QStringLiteral("--print-pdf")) ||
        arguments.size() != expected) {
        ShowMessage(nullptr,
                    QStringLiteral("Usage: kvprog [--demo] [FILE.sin] | --print FILE.sin | "
                                   "--print-to PRINTER FILE.sin | "
                                   "--print-pdf OUT.pdf FILE.sin"));
        return StartResult::Failed;
    }
    if (option == QStringLiteral("--print-pdf") &&
        IsSameFile(PathFromUtf8(arguments.at(1).toStdString()),
                   PathFromUtf8(arguments.at(2).toStdString()))) {
        ShowMessage(nullptr, QStringLiteral("Cannot write the PDF file \"%1\": it is the same file "
                                            "as the input \"%2\".")
                                 .arg(arguments.at(1), arguments.at(2)));
        return StartResult::Failed;
    }
    if (!OpenFile(arguments.constLast())) {
        return StartResult::Failed;
    }
    if (option == QStringLiteral("--print-pdf")) {
        QString error;
        if (!PrintToPdf(SheetFromEditor(m_pView->ReadEditor()), arguments.at(1), &error)) {
            ShowMessage(nullptr, error);
            return StartResult::Failed;
        }
        return StartResult::Done;
    }
    const QString printer = expected == 3 ? arguments.at(1) : QString();
    return m_pPrint->OnFilePrintDirect(m_pView->ReadEditor(), nullptr, printer)
               ? StartResult::Done
               : StartResult::Failed;
}
