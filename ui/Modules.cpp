#include "Modules.h"

#include <QCoreApplication>
#include <QLibrary>
#include <cstdio>

QFunctionPointer ModuleFunction(const char* module, const char* function) {
    // A QLibrary going out of scope leaves its module loaded, for the rest of the run.
    QLibrary library(QCoreApplication::applicationDirPath() +
                     QStringLiteral("/" KVPROG_MODULE_DIR "/") + QString::fromUtf8(module));
    const QFunctionPointer found = library.resolve(function);
    if (!found) {
        std::fprintf(stderr, "kvprog: %s\n", qPrintable(library.errorString()));
    }
    return found;
}
