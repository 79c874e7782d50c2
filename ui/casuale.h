// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

// The program's one pseudo-random sequence. Every draw is a value r with 0 <= r < 1; the colour
// pick, the yes-sound pick and the word pick all continue the same sequence.
class GeneratoreCasuale
{
public:
    virtual ~GeneratoreCasuale() = default;
    virtual double prossimo() = 0;
};

// Seeded once, from the clock, when the program starts.
class GeneratoreOrologio final : public GeneratoreCasuale
{
public:
    GeneratoreOrologio();
    explicit GeneratoreOrologio(std::uint64_t seme)
        : motore(seme)
    {
    }
    double prossimo() override;

private:
    std::mt19937_64 motore;
};

// The 0-based index a draw r picks among `quanti` things: floor(r x quanti), so each is equally likely;
// kept within 0..quanti-1 should a generator ever give a value outside [0, 1). The word pick keeps its
// own rounding (regole::sceltaParola), which adds the 1 before rounding down.
int indiceCasuale(double r, int quanti);
