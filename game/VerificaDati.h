// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The checks behind batticco-verifica: everything in a data folder that would stop the game or
// leave a child stuck on a word, found the way the game itself reads the folder. The result is data:
// the checker prints it, the editor lists it and leads from each finding to its word.

#include <QString>

#include <vector>

namespace verifica
{

// What a finding is about.
enum class Tipo { cartella, lista, parola, immagine, suono, voce };

// A problem stops the game, leaves a child stuck or is never played; a note is worth knowing.
enum class Gravita { problema, nota };

struct Problema {
    Tipo tipo = Tipo::cartella;
    Gravita gravita = Gravita::problema;
    QString file; // relative to the data folder, with forward slashes: "lista4.txt", "suoni/no.wav"
    int lettere = 0; // the list this concerns, 3 to 6; 0 for none
    QString lista; // that list's file, as `file` names files: "lista4.txt"; empty for none
    int riga = 0; // 1-based line in that list (of the word, when there is one); 0 when none applies
    QString parola; // the word as the list holds it; empty when no word is concerned
    QString messaggio; // in Italian, for a teacher; the place is given by the fields above
};

struct Esito {
    std::vector<Problema> risultati; // the problems, then the notes, each in the order found
    int liste = 0; // lists that could be read
    int parole = 0; // words the game would load from them
    qsizetype quanti(Gravita gravita) const;
};

// Checks lista3.txt..lista6.txt, their pictures and voices and the game's sounds in the folder.
Esito controlla(const QString &cartella);

// One line: "lista4.txt:7: messaggio" for a finding in a list, "jpg/cane.jpg: messaggio (parola
// «cane» di lista4.txt:7)" for a word's file, "suoni/no.wav: messaggio" when no word applies; a
// note says "nota: " before its message.
QString testo(const Problema &problema);

// "Nessun problema: 4 liste, 180 parole." (and the notes, when there are any)
QString riepilogo(const Esito &esito);

} // namespace verifica
