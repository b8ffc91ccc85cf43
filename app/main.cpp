// kvprog: the desktop program.
#include <QTimer>

#include "KV_IIApp.h"

int main(int argc, char** argv) {
    // A sheet printed into a PDF needs no display (KV_PDF_PLATFORM: the system's way).
    const bool toPdf = argc > 1 && qstrcmp(argv[1], "--print-pdf") == 0;
    if (toPdf && *KV_PDF_PLATFORM != '\0' && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", KV_PDF_PLATFORM);
    }
    CKV_IIApp app(argc, argv);
    switch (app.InitInstance(app.arguments().mid(1))) {
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
