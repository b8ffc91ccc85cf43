// What the systems' own file functions share: how a failure message begins.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// "VERB \"PATH\": ", the start of every failure message about path.
std::string CannotPrefix(std::string_view verb, const std::filesystem::path& path);
