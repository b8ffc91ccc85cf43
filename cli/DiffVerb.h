// kvprog-cli diff: what differs between two channel data files, or between a file and the
// radio, told as the form shows it. Exits as diff(1) does.
#pragma once

#include <string_view>

#include "Verb.h"

int RunDiff(const Args& args, std::string_view synopsis);
