// What every fuzz target shares: the invariant check that stops the run with its reason,
// and the tone list, built once per process.
#pragma once

#include <cstdio>
#include <cstdlib>

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
