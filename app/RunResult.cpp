#include "RunResult.h"

#include <QTime>

namespace {

const char* const kNotOpened = "the port could not be opened";

RunResult Failed(const QString& what, const QString& why) {
    return EndedOtherwise(what, QStringLiteral("failed"), why, true);
}

// What a write that ended after sending blocks leaves in the radio.
QString PartOf(const SafeWriteReport& report, const QString& source) {
    return (report.blocksWritten > 0 ? QStringLiteral("the radio holds part of %1")
                                     : QStringLiteral("the radio may hold part of %1"))
        .arg(source);
}

}  // namespace

QString ClockTime() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

RunResult EndedOtherwise(const QString& what, const QString& how, const QString& why, bool failed) {
    QString text = QStringLiteral("%1 %2 at %3").arg(what, how, ClockTime());
    if (!why.isEmpty()) {
        text += QStringLiteral(": ") + why;
    }
    return {text, failed};
}

RunResult CloneResult(const QString& what, CloneEnd end) {
    switch (end) {
        case CloneEnd::Completed:
            break;
        case CloneEnd::Cancelled:
            return EndedOtherwise(what, QStringLiteral("cancelled"), QString(), false);
        case CloneEnd::OpenFailed:
            return Failed(what, kNotOpened);
        case CloneEnd::CommunicationError:
            return Failed(what, QStringLiteral("the radio did not answer"));
        case CloneEnd::ReadFailed:
        case CloneEnd::WriteFailed:
            return Failed(what, QStringLiteral("the radio stopped answering part-way"));
    }
    return {QStringLiteral("%1 at %2").arg(what, ClockTime()), false};
}

RunResult SafeWriteResult(const QString& what, const Result<SafeWriteEnd>& end,
                          const SafeWriteReport& report, const QString& source) {
    switch (end.end) {
        case SafeWriteEnd::Done:
            break;
        case SafeWriteEnd::Cancelled:
            if (end.message.empty() && !report.blockSent) {
                return EndedOtherwise(what, QStringLiteral("cancelled"),
                                      QStringLiteral("nothing was written"), false);
            }
            return EndedOtherwise(what, QStringLiteral("cancelled"), PartOf(report, source), true);
        case SafeWriteEnd::OpenFailed:
            return Failed(what, kNotOpened);
        case SafeWriteEnd::NotBackedUp:
            return Failed(what, QStringLiteral("no backup, so nothing was written"));
        case SafeWriteEnd::OtherType:
            if (end.message.empty()) {  // the user said no
                return EndedOtherwise(what, QStringLiteral("stopped"),
                                      QStringLiteral("the radio is a %1; nothing was written")
                                          .arg(QString::fromStdString(report.radioType)),
                                      false);
            }
            return Failed(what, QStringLiteral("the radio's type is unknown; nothing was written"));
        case SafeWriteEnd::WriteFailed:
            return Failed(what,
                          report.blockSent
                              ? PartOf(report, source)
                              : QStringLiteral("the radio did not answer; nothing was written"));
        case SafeWriteEnd::NotChecked:
            return EndedOtherwise(what, QStringLiteral("not checked"),
                                  QStringLiteral("the radio was written but not read back"), true);
        case SafeWriteEnd::Mismatch:
            return EndedOtherwise(what, QStringLiteral("failed its check"),
                                  QStringLiteral("the radio does not hold what was sent"), true);
        case SafeWriteEnd::Refused:
            return Failed(what, QString::fromStdString(end.message));
    }
    return {QStringLiteral("%1 at %2").arg(what, ClockTime()), false};
}

RunResult TestModeResult(const QString& what, TestModeEnd end, const QString& sent) {
    switch (end) {
        case TestModeEnd::Finished:
            break;
        case TestModeEnd::OpenFailed:
            return Failed(what, kNotOpened);
        case TestModeEnd::Cancelled:
            return Failed(what, QStringLiteral("the radio did not answer"));
    }
    return {QStringLiteral("%1 at %2: the radio took %3").arg(what, ClockTime(), sent), false};
}
