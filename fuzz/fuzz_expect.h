#pragma once

#include <cstdio>
#include <cstdlib>

// A fuzz target's invariant: when it does not hold, say which and stop, so the fuzzer keeps the input.
#define EXPECT(condition)                                                                                    \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
