// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The game's state, owned by the game window and living as long as it. The choices (list, keyboard,
// letter case) are not here: the menus' check marks are their only record.
struct StatoGioco {
    std::array<QString, 201> parole {}; // words in slots 1..numParole; slot 0 is never used
    qint16 numParole = 0;
    qint16 indiceParola = 0;
    qint16 posizione = 0; // letters of the current word already matched
    qint16 lunghezza = 0; // letters of the chosen list; the word is complete at posizione == lunghezza
    qint16 esatti = 0;
    qint16 errati = 0;
    QString nomeLista;
};
