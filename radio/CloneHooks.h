// What a clone run asks of the program around it. The desktop program answers with its
// event loop, progress dialog and message boxes; the command-line tool with the terminal;
// tests with a recorder and a virtual clock.
#pragma once

#include <string_view>

enum class MessageIcon { None, Exclamation };
enum class RetryAnswer { Retry, Cancel };

class ICloneHooks {
public:
    virtual ~ICloneHooks() = default;

    // Blocks for the given time.
    virtual void Sleep(int milliseconds) = 0;
    // Handles at most one pending event (a click on Cancel, a repaint, a menu command).
    virtual void PumpOne() = 0;
    // True once the user has asked to stop the run.
    virtual bool IsCancelled() = 0;

    // The progress dialog's status line.
    virtual void SetStatus(std::string_view text) = 0;
    // The progress bar, 0 to kProgressMaximum.
    virtual int ProgressPosition() = 0;
    virtual void SetProgressPosition(int position) = 0;

    // A modal box with an OK button and the application's title as caption; returns when
    // the user has closed it.
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    // A modal box with Retry and Cancel, no icon, the application's title as caption.
    virtual RetryAnswer AskRetryCancel(std::string_view text) = 0;
};
