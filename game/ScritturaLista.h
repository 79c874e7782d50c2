// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The word-list writer, the reader's other half: it writes a list back in the encoding and line-end
// style it was read in, one word per line, quoting a word only where the reader needs it (a comma, a
// line end, blanks at either end). Whatever it writes reads back, through the game's own reader, as
// exactly the words it was given; it checks that before handing the bytes over.

#include "game/ListaParole.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace listaparole
{

struct Formato {
    Codifica codifica = Codifica::utf8; // a new list is UTF-8
    QString fineRiga = QStringLiteral("\n"); // "\r\n", "\n" or "\r", as the list had it
    bool fineRigaFinale = true; // whether the last word is followed by a line end
};

// The format of an existing list's bytes: its encoding and its first line end (LF when it has none).
Formato formato(const QByteArray &byte);

// Every field of the text, however many: a list being edited keeps even the words past the limit.
std::vector<QString> tutteLeParole(const QString &testo);

// The bytes of a list holding these words in this format. When the encoding cannot hold a word (a
// character Windows-1252 lacks) or its bytes would read back differently, the list is written in
// UTF-8, which the reader always takes, and `formatoUsato` says so. Throws Errore when no way of
// writing reads back as the words (a word holding both a double quote and a comma, say).
QByteArray scriviLista(
    const std::vector<QString> &parole, const Formato &formato, Formato *formatoUsato = nullptr);

} // namespace listaparole
