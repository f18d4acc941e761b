#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the code under fuzzing that must hold for every input: a
// violation aborts, which libFuzzer records as a crash with its input.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)
