#include "Verb.h"

#include <cerrno>
#include <cstdio>

#include <QJsonDocument>
#include <QJsonObject>

#include "FileIO.h"

bool WriteStandardOutput(std::string_view text) {
    std::cout.flush();  // what went out through the stream before stays in order
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written && std::cout) {
        return true;
    }
    Fail(kExitUsage, "cannot write to standard output: " + SystemReason(errno ? errno : EIO));
    return false;
}

std::string JsonOutput(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}
