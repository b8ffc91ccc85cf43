// kvprog: the desktop program.
#include <QTimer>
#include <cstdio>

#include "CommandLine.h"
#include "Console.h"
#include "KV_IIApp.h"

namespace {

// The command line as the user typed it, every character whatever the system's code page.
QStringList Words(int argc, char** argv) {
    QStringList words;
    for (const std::string& word : CommandLineWords(argc, argv)) {
        words << QString::fromStdString(word);
    }
    return words;
}

}  // namespace

int main(int argc, char** argv) {
    // Read before the application exists, which needs a display: --help, --version and a
    // mistyped option are answered on any terminal.
    const CommandLine line = ParseCommandLine(Words(argc, argv));
    // A windowed program on Windows: only what answers on the console attaches to it, so
    // closing that console never ends a window.
    if (line.ask != CommandLine::Ask::Start || line.options.print != StartOptions::Print::None) {
        UseParentConsole();
    }
    switch (line.ask) {
        case CommandLine::Ask::Help:
        case CommandLine::Ask::Version:
            std::fputs(line.text.toUtf8().constData(), stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        case CommandLine::Ask::Refused:
            std::fputs(line.text.toUtf8().constData(), stderr);
            return 2;
        case CommandLine::Ask::Start:
            break;
    }
    // A sheet printed into a PDF needs no display (KV_PDF_PLATFORM: the system's way).
    const bool toPdf = line.options.print == StartOptions::Print::Pdf;
    if (toPdf && *KV_PDF_PLATFORM != '\0' && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", KV_PDF_PLATFORM);
    }
    CKV_IIApp app(argc, argv);
    switch (app.InitInstance(line.options)) {
        case CKV_IIApp::StartResult::Done:
            return 0;
        case CKV_IIApp::StartResult::Failed:
            return 1;
        case CKV_IIApp::StartResult::Run:
            break;
    }
    // For start-up measurements: leave as soon as the window has been shown.
    if (qEnvironmentVariableIsSet("KVPROG_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
