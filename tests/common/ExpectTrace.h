// Trace comparisons for GoogleTest that point at the first event where the traces part,
// with a little of what led there, instead of printing two long lists.
#pragma once

#include <string>
#include <vector>

using Events = std::vector<std::string>;

// actual is exactly expected.
void ExpectTrace(const Events& actual, const Events& expected);
// actual ends with tail.
void ExpectTraceEnd(const Events& actual, const Events& tail);
