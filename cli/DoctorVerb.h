// kvprog-cli doctor: why the radio does not answer.
#pragma once

#include <string_view>

#include "Verb.h"

int RunDoctorVerb(const Args& args, std::string_view synopsis);
