// kvprog-cli hash: the SHA-256 of what a write puts into a radio, taken from a file or from
// the radio itself, and the job log's rows that name it: how a radio is checked against the
// row of the production job that programmed it.
#pragma once

#include <string_view>

#include "Verb.h"

int RunHash(const Args& args, std::string_view synopsis);
