// What every exchange with the radio asks of the program around it: pauses, and the boxes
// the user answers. The desktop program answers with message boxes, the command-line tool
// with the terminal, tests with a recorder and a virtual clock.
#pragma once

#include <string_view>

enum class MessageIcon { None, Exclamation };
enum class RetryAnswer { Retry, Cancel };

class IExchangeHooks {
public:
    virtual ~IExchangeHooks() = default;

    // Blocks for the given time.
    virtual void Sleep(int milliseconds) = 0;
    // A modal box with an OK button and the application's title as caption; returns when
    // the user has closed it.
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    // A modal box with Retry and Cancel, no icon, the application's title as caption.
    virtual RetryAnswer AskRetryCancel(std::string_view text) = 0;
};
