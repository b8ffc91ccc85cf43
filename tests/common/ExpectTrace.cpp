#include "ExpectTrace.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Compares the events of actual from `first` on with expected; the failure counts events
// from the start of actual and shows the six before the parting.
void ExpectFrom(const Events& actual, std::size_t first, const Events& expected) {
    const auto [a, b] = std::mismatch(actual.begin() + static_cast<long>(first), actual.end(),
                                      expected.begin(), expected.end());
    if (a == actual.end() && b == expected.end()) {
        return;
    }
    const auto at = static_cast<std::size_t>(a - actual.begin());
    std::string context;
    for (std::size_t i = at > 6 ? at - 6 : 0; i < at; ++i) {
        context += "  " + actual[i] + "\n";
    }
    ADD_FAILURE() << "the traces part at event " << at << " of " << actual.size() << ":\n"
                  << context << "got      \"" << (a == actual.end() ? "<end>" : *a) << "\"\n"
                  << "expected \"" << (b == expected.end() ? "<end>" : *b) << "\"";
}

}  // namespace

void ExpectTrace(const Events& actual, const Events& expected) {
    ExpectFrom(actual, 0, expected);
}

void ExpectTraceEnd(const Events& actual, const Events& tail) {
    if (actual.size() < tail.size()) {
        ADD_FAILURE() << "the trace has " << actual.size() << " events, fewer than the "
                      << tail.size() << " it should end with";
        return;
    }
    ExpectFrom(actual, actual.size() - tail.size(), tail);
}
