// kvprog: the desktop program.
#include <QTimer>

#include "KV_IIApp.h"

int main(int argc, char** argv) {
    CKV_IIApp app(argc, argv);
    if (!app.InitInstance(app.arguments().mid(1))) {
        return 1;
    }
    // For start-up measurements: leave as soon as the window has been shown.
    if (qEnvironmentVariableIsSet("KVPROG_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
