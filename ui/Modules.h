// Parts of the program that need a large library of their own (printing, the list of serial
// ports) live in modules beside the program, loaded the first time they are used, so that
// start-up does not load those libraries. The modules are in KVPROG_MODULE_DIR, relative to
// the program's own folder, in the build tree as where it is installed.
#pragma once

#include <QFunctionPointer>

// The function `function` of module `module`, loading the module once; nullptr when either
// cannot be found (the reason is put on standard error).
QFunctionPointer ModuleFunction(const char* module, const char* function);
