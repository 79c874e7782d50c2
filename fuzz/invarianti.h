// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fuzz targets' one check: a broken promise says which and aborts, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fallito(const char *cosa)
{
    std::fprintf(stderr, "invariant broken: %s\n", cosa);
    std::abort();
}

#define VERIFICA(condizione)                                                                                 \
    do {                                                                                                     \
        if (!(condizione))                                                                                   \
            fallito(#condizione);                                                                            \
    } while (0)
