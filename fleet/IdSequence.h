// The PTT IDs a production run gives its radios, one after the other. The start ID is 1 to
// 16 characters of 0-9 and A-F (as the optional features take it). An ID of digits only
// counts in decimal, any other in hexadecimal; the base is the start ID's, for the whole run,
// so "0F" is followed by "10" and then "11". The width is kept with leading zeros ("0099",
// "0100") and grows only when the count needs another digit; past 16 digits there is no next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Result.h"

class CIdSequence {
public:
    // Checks start; the message says what is wrong with it.
    static Result<> Check(std::string_view start);

    // Whether a comes after b in the order of any sequence: a longer ID comes later, IDs of
    // one width sort as text (digits before letters, as in hexadecimal). Both upper-case.
    static bool Later(std::string_view a, std::string_view b);

    // start must have passed Check. Lower-case letters are taken as upper-case. With
    // hexadecimal, an ID of digits only counts in hexadecimal too.
    explicit CIdSequence(std::string_view start, bool hexadecimal = false);

    // The ID the next job takes.
    const std::string& Current() const { return m_current; }
    // Moves to the following ID; false (and no move) when it would need a 17th digit.
    bool Advance();

    bool Hexadecimal() const { return !m_decimal; }
    // How many moves after the start ID the sequence hands out id (0: the start itself);
    // none when it never does (a letter in a decimal run, an ID before the start, or a
    // width the count never takes, such as "0100" in a run from "99").
    std::optional<std::uint64_t> StepsTo(std::string_view id) const;

private:
    std::string m_start;
    std::string m_current;
    bool m_decimal = true;
};
