// How an operation went: success, or a message that says why not. An exchange with the
// radio also tells which way it ended: End is then its own enum, whose first value is the
// success. Every room reports this way; nothing throws across rooms.
#pragma once

#include <string>
#include <utility>

// The two ends of an operation that either works or does not.
enum class Outcome { Succeeded, Failed };

template <typename End = Outcome>
struct Result {
    End end{};
    std::string message;  // why it failed, naming what failed; an exchange's last box

    bool ok() const { return end == End{}; }
    explicit operator bool() const { return ok(); }
};

inline Result<> Failure(std::string why) {
    return {Outcome::Failed, std::move(why)};
}
