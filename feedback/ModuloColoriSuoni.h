// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <array>

struct Piattaforma;

// The game's colours and sounds. The operations keep no state; the two random ones draw exactly
// one value each from the program's one sequence, and the no sound draws nothing.
class ModuloColoriSuoni
{
public:
    // Eighteen entries, 0x00BBGGRR; light pink and light magenta are there twice on purpose, so
    // they come up twice as often as the other colours.
    static constexpr std::array<quint32, 18> tavolozza = {
        0x00C0C0FF,
        0x008080FF,
        0x00C0C0FF,
        0x0080C0FF,
        0x000080FF,
        0x00C0FFFF,
        0x0000FFFF,
        0x000040C0,
        0x0080FF80,
        0x0000C000,
        0x00FFFFC0,
        0x00FFFF00,
        0x00FFC0C0,
        0x00FFC0FF,
        0x00FFC0FF,
        0x00E0E0E0,
        0x00FF0000,
        0x00FF00FF,
    };

    static constexpr std::array<const char16_t *, 4> suoniSi
        = {u"\\suoni\\si1.wav", u"\\suoni\\si2.wav", u"\\suoni\\si3.wav", u"\\suoni\\si4.wav"};
    static constexpr const char16_t *suonoNo = u"\\suoni\\no.wav";

    explicit ModuloColoriSuoni(Piattaforma &piattaforma)
        : p(piattaforma)
    {
    }

    quint32 coloreCasuale();
    void suonaSi();
    void suonaNo();
    // The word's own voice, where the teacher has put one in the data folder (voci/<parola>.wav);
    // without one nothing is played at all, and the sound playing goes on.
    void diciParola(QStringView parola);

private:
    void suona(const char16_t *relativo);

    Piattaforma &p;
};
