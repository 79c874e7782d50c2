// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's rules that need no widget. Names follow the game's Italian vocabulary throughout
// (parola, posizione, lunghezza, esatti, errati), as the windows and menus do.

#include "base/nomi.h" // the naming rule of pictures and voices, regole::senzaSpaziIniziali

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace regole
{

// A counter as its label shows it: one blank where the sign would stand, then the digits (" 0").
QString testoConteggio(qint16 valore);

// One more on a counter of wrong letters or correct words. A child who keeps going must never
// bring the game down, so the counter stops at its largest value instead of overflowing.
qint16 contatorePiuUno(qint16 valore);

// The letter expected next: the one-character piece of the word at 0-based position `posizione`,
// or the empty string past the word's end.
QString letteraAttesa(QStringView parola, qint16 posizione);

// The word pick: r in [0, 1) and the number of words give a slot 1..numParole (1 for no words).
qint16 sceltaParola(double r, qint16 numParole);

// Letter case by the Unicode rules, one character for one character (so "è" becomes "È" and the
// length never changes).
QString inMaiuscolo(QStringView testo);
QString inMinuscolo(QStringView testo);

// What keeps a word from being played in a list of `lettere` letters, whatever the list around it.
// The one rule of the checker, of the editor's live check and of its save.
enum class Difetto {
    vuota, // nothing between two separators
    troppoLunga, // longer than any file name: said alone
    spazio, // a blank, a tab or a line end inside
    fuoriTastiera, // characters the drawn keyboard has no key for
    scomposta, // accented letters stored as letter and accent (as a Mac writes them)
    lunghezza, // not as many characters as the list's boxes
    nomeFile, // cannot name the word's picture
};

struct DifettoParola {
    Difetto difetto;
    QList<char32_t> caratteri; // fuoriTastiera: the characters without a key, each once, in order
};

// The word's faults, in the order above; none for a word the game plays as it is.
std::vector<DifettoParola> difettiParola(QStringView parola, int lettere);

} // namespace regole
