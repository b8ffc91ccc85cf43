// What a clone run asks of the program around it besides pauses and boxes: event pumping,
// the cancel request and the progress dialog's status line and bar.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ExchangeHooks.h"

class ICloneHooks : public IExchangeHooks {
public:
    // Handles at most one pending event (a click on Cancel, a repaint, a menu command).
    virtual void PumpOne() = 0;
    // True once the user has asked to stop the run.
    virtual bool IsCancelled() = 0;

    // The progress dialog's status line.
    virtual void SetStatus(std::string_view text) = 0;
    // The progress bar, 0 to kProgressMaximum.
    virtual int ProgressPosition() = 0;
    virtual void SetProgressPosition(int position) = 0;

    // done of total blocks have been acknowledged; told after each one.
    virtual void BlockDone(int /*done*/, int /*total*/) {}
    // The handshake's attempt number of the round's `of` attempts begins.
    virtual void Attempt(int /*attempt*/, int /*of*/) {}
    // The radio's identification arrived (as many of its bytes as came).
    virtual void Identified(std::span<const std::uint8_t> /*identification*/) {}
    // The box of a failure that ends the run part-way (a short reply, a missing
    // acknowledgement), before the port closes. Hooks whose caller has more to say about
    // the failure once the run is over may keep the text and show both in one box then.
    virtual void ShowFailure(std::string_view text) { ShowMessage(text, MessageIcon::Exclamation); }
};
