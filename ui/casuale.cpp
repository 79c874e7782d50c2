// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/casuale.h"

#include <algorithm>
#include <chrono>
#include <cmath>

GeneratoreOrologio::GeneratoreOrologio()
    : motore(std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()))
{
}

double GeneratoreOrologio::prossimo()
{
    // 53 random bits scaled by 2^-53: never 1.0, which generate_canonical can return on some libraries.
    return double(motore() >> 11) * 0x1.0p-53;
}

int indiceCasuale(double r, int quanti)
{
    const double k = std::floor(r * double(quanti));
    return k < 0.0 ? 0 : int(std::min(k, double(quanti - 1)));
}
