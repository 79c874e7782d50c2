// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The checks behind batticco-verifica: everything in a data folder that would stop the game or
// leave a child stuck on a word, found the way the game itself reads the folder.

#include <QString>

#include <vector>

namespace verifica
{

struct Problema {
    QString file; // relative to the data folder, with forward slashes: "lista4.txt", "suoni/no.wav"
    int riga = 0; // 1-based line in a list; 0 when no line applies
    QString messaggio; // in Italian, for a teacher
};

struct Esito {
    std::vector<Problema> problemi; // what would stop the game or leave a child stuck
    std::vector<Problema> note; // what plays but is worth knowing (a UTF-16 list, a stretched picture)
    int liste = 0; // lists that could be read
    int parole = 0; // words the game would load from them
};

// Checks lista3.txt..lista6.txt, their pictures and the game's sounds in the folder.
Esito controlla(const QString &cartella);

// "lista4.txt:7: messaggio", or "suoni/no.wav: messaggio" when no line applies.
QString testo(const Problema &problema);

// A note, as testo() but marked: "lista4.txt: nota: messaggio".
QString testoNota(const Problema &nota);

// "Nessun problema: 4 liste, 180 parole." (and the notes, when there are any)
QString riepilogo(const Esito &esito);

} // namespace verifica
