// The program around an exchange as tests play it: every pause moves the trace's virtual
// clock, every box is written into the trace, and the Retry/Cancel box is answered from a
// list (then Cancel). Hooks is IExchangeHooks or an interface built on it; a recorder for
// a richer interface adds the rest.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ExchangeHooks.h"
#include "ScriptedPort.h"

template <class Hooks>
class CHookRecorderBase : public Hooks {
public:
    explicit CHookRecorderBase(Trace& trace) : m_trace(trace) {}

    std::vector<RetryAnswer> answers;
    std::vector<std::string> messages;  // the text of every OK box
    std::vector<long long> askedAt;     // the clock when each Retry/Cancel box appeared
    bool throwOnAsk = false;            // the box itself fails, as a crashing dialog would

    void Sleep(int milliseconds) override {
        m_trace.clockMs += milliseconds;
        m_trace.Add("sleep " + std::to_string(milliseconds));
    }
    void ShowMessage(std::string_view text, MessageIcon icon) override {
        m_trace.Add(std::string(icon == MessageIcon::Exclamation ? "message! " : "message ") +
                    std::string(text));
        messages.emplace_back(text);
    }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        m_trace.Add("ask " + std::string(text));
        askedAt.push_back(m_trace.clockMs);
        if (throwOnAsk) {
            throw std::runtime_error("the box failed");
        }
        return m_nAnswered < answers.size() ? answers[m_nAnswered++] : RetryAnswer::Cancel;
    }

protected:
    Trace& m_trace;

private:
    std::size_t m_nAnswered = 0;
};
