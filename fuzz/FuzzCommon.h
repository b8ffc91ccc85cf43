// What every fuzz target shares: the invariant check that stops the run with its reason,
// the tone list, built once per process, and a text kept without allocating.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ToneList.h"

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline const ToneList& Tones() {
    static const ToneList tones = [] {
        ToneList list;
        list.Build();
        return list;
    }();
    return tones;
}

// The last of the texts a run showed (a box's), and how many it showed. Every box text of
// the system is far shorter than the room here.
class CLastText {
public:
    void Set(std::string_view text) {
        Check(text.size() <= m_text.size(), "a box text fits the fake's room");
        std::copy(text.begin(), text.end(), m_text.begin());
        m_nSize = text.size();
        ++m_nCount;
    }
    int count() const { return m_nCount; }
    std::string_view text() const { return {m_text.data(), m_nSize}; }

private:
    std::array<char, 1024> m_text;
    std::size_t m_nSize = 0;
    int m_nCount = 0;
};
