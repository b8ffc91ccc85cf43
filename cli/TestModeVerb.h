// The testmode verb of kvprog-cli: one press of the test mode dialog's Start, with the
// dialog's rules for the values it sends.
#pragma once

#include "FileVerbs.h"

int RunTestModeVerb(const Args& args);
