// kvprog-cli fleet: production mode, one channel data file into many radios on several ports
// at once, each radio with its own PTT ID, every job in the job log.
#pragma once

#include <string_view>

#include "Verb.h"

int RunFleet(const Args& args, std::string_view synopsis);
