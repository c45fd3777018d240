#pragma once

// A broken check stops the fuzzer at once, and libFuzzer keeps the input that broke it.
#define KWL_CHECK(cond)                                                                            \
    do {                                                                                           \
        if (!(cond))                                                                               \
            __builtin_trap();                                                                      \
    } while (0)
