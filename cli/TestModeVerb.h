// The testmode verb of kvprog-cli: one press of the test mode dialog's Start, with the
// dialog's rules for the values it sends. It takes the words after the verb and its synopsis.
#pragma once

#include <string_view>

#include "Verb.h"

int RunTestModeVerb(const Args& args, std::string_view synopsis);
