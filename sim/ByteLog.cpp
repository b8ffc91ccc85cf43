#include "ByteLog.h"

#include <cerrno>
#include <system_error>

#include "Numbers.h"

namespace {

double Millis(ByteLog::Time at) {
    return std::chrono::duration<double, std::milli>(at).count();
}

}  // namespace

ByteLog::ByteLog(const std::filesystem::path& path) : m_file(std::fopen(path.c_str(), "w")) {
    if (m_file == nullptr) {
        throw std::system_error(errno, std::generic_category(), "cannot write " + path.string());
    }
}

ByteLog::~ByteLog() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

// Each line is flushed at once, so the log tells what happened even if the radio is killed.
void ByteLog::Byte(const char* sender, std::uint8_t byte, Time at) {
    if (m_file != nullptr) {
        std::fprintf(m_file, "%s %s %02x\n", FormatFixed(Millis(at), 3).c_str(), sender, byte);
        std::fflush(m_file);
    }
}

void ByteLog::Note(std::string_view text, Time at) {
    if (m_file != nullptr) {
        std::fprintf(m_file, "# %s %.*s\n", FormatFixed(Millis(at), 3).c_str(),
                     static_cast<int>(text.size()), text.data());
        std::fflush(m_file);
    }
}
