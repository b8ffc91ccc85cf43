// What the main window's last-result pane says of a run with the radio once it has ended:
// what it did, on which port and when, or what went wrong there, in one line. The pane keeps
// it until the next run ends, so it is still there after the boxes and the prompts have gone.
#pragma once

#include <QString>

#include "CloneExchange.h"
#include "SafeWrite.h"
#include "TestModeExchange.h"

struct RunResult {
    QString text;
    bool failed = false;  // the radio did not get, or may not hold, what the run was for
};

// The time of day a run ended, as its results tell it: "19:36".
QString ClockTime();

// A run that did not end as asked. what names the run and its port ("Read from COM1
// (/dev/ttyUSB0)"), how it ended ("failed", "cancelled") and why in a few words:
// "Read from COM1 (/dev/ttyUSB0) failed at 19:36: the radio did not answer".
RunResult EndedOtherwise(const QString& what, const QString& how, const QString& why, bool failed);

// How a read (or the read of a compare) that did not complete ended.
RunResult CloneResult(const QString& what, CloneEnd end);

// How a safe write (or a restore) of source that was not Done ended.
RunResult SafeWriteResult(const QString& what, const Result<SafeWriteEnd>& end,
                          const SafeWriteReport& report, const QString& source);

// How a test mode run that sent `sent` ("Squelch Level 5") ended.
RunResult TestModeResult(const QString& what, TestModeEnd end, const QString& sent);
