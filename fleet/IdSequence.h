// The PTT IDs a production run gives its radios, one after the other. The start ID is 1 to
// 16 characters of 0-9 and A-F (as the optional features take it). An ID of digits only
// counts in decimal, any other in hexadecimal; the base is the start ID's, for the whole run,
// so "0F" is followed by "10" and then "11". The width is kept with leading zeros ("0099",
// "0100") and grows only when the count needs another digit; past 16 digits there is no next.
#pragma once

#include <string>
#include <string_view>

#include "Result.h"

class CIdSequence {
public:
    // Checks start; the message says what is wrong with it.
    static Result<> Check(std::string_view start);

    // start must have passed Check. Lower-case letters are taken as upper-case.
    explicit CIdSequence(std::string_view start);

    // The ID the next job takes.
    const std::string& Current() const { return m_current; }
    // Moves to the following ID; false (and no move) when it would need a 17th digit.
    bool Advance();

private:
    std::string m_current;
    bool m_decimal = true;
};
