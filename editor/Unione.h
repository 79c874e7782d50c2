// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Bringing the words of another copy of the game (the one on her stick, made at home) into the
// folder open here: which words are new, which are here already with the same picture and voice,
// which are here with another one (she chooses), and which cannot come, and why. It only reads both
// folders; the window turns the result into one step she can undo.

#include "editor/CartellaParole.h"

#include <vector>

namespace unione
{

// A word the other copy has and this folder lacks, with its picture and voice.
struct Nuova {
    int lettere = 0;
    QString parola;
    Contenuto immagine;
    Contenuto voce;
};

// A picture or voice the other copy has for a word this folder holds too (under `parola`).
struct Compagnia {
    QString parola;
    Compagno c = Compagno::immagine;
    Contenuto loro;
};

struct Piano {
    std::vector<Nuova> nuove;
    std::vector<Compagnia> mancanti; // the word is here without it: it comes, nothing is lost
    std::vector<Compagnia> diverse; // here with other bytes: only if she says so
    int uguali = 0; // words here already, with nothing to bring
    QStringList saltate; // "«parola»: why it stays out", one a word
    bool vuoto() const { return nuove.empty() && mancanti.empty() && diverse.empty(); }
};

// What bringing the words of `altra` into `qui` would do, by the rules for a new word.
Piano piano(const CartellaParole &qui, const CartellaParole &altra);

// "«cane» (immagine), «lupo» (voce)": the words that differ, for her question.
QString elenco(const std::vector<Compagnia> &diverse);

// "Da <da> sono arrivate 2 parole nuove e 1 immagine o voce. 3 parole c'erano già.": what came,
// `tenute` the differing ones she kept.
QString riassunto(const Piano &piano, int tenute, const QString &da);

} // namespace unione
