// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A teacher's own copy of the game: the program file and its data in a folder she owns, with its own
// entry in her applications menu. The game reads its data from the folder that holds its program
// file, so a copy she can write is the one way to give the children her own words.

#include <QDateTime>
#include <QString>

namespace copiapersonale
{

// The program file's name inside a game folder.
inline constexpr char16_t programma[] = u"batticco";

// The menu entry's name.
inline constexpr char16_t nomeVoce[] = u"Batticco - le mie parole";

// ~/Batticco.
QString cartellaPredefinita();

// The installed game's folder: the one holding this program, when it holds the game, else the
// installation prefix's lib/batticco. Empty when neither holds the game.
QString giocoInstallato(const QString &cartellaProgramma);

// True when the folder holds the game's program file and at least one word list.
bool eCartellaGioco(const QString &cartella);

// Copies the game in `sorgente` (program file, word lists, pictures, sounds and the other data files;
// no other program) into `destinazione`, which must not exist or be an empty folder. The copy is
// made beside it under a temporary name and renamed into place at the end, so a full disk or a crash
// leaves no half copy. Files become the user's, writable, the program executable. Throws Errore.
void faiCopia(const QString &sorgente, const QString &destinazione);

// The name of the copy's menu entry: "Batticco - le mie parole", and for any copy but ~/Batticco the
// folder's name after it, or the name of the folder holding it (a stick's) when the copy is a "Batticco".
QString nomeDellaVoce(const QString &copia);

// The copy's menu entry file in the user's applications folder (XDG_DATA_HOME/applications).
QString fileVoce(const QString &copia);

// Writes the copy's menu entry; `editor`, when given, adds an action that opens the copy in it, and
// `lavagna` (the whiteboard launcher) one that starts the copy's game as large as the screen allows.
// Returns the entry's path. Throws Errore.
QString scriviVoce(const QString &copia, const QString &editor, const QString &lavagna = QString());

// The entry's text: Exec quoted as the desktop entry rules want.
QByteArray testoVoce(const QString &copia, const QString &editor, const QString &lavagna = QString());

// True when the installed program file differs from the copy's and is newer.
bool programmaPiuNuovo(const QString &installato, const QString &copia);

// Replaces the copy's program file with the installed one, in one rename; lists, pictures and sounds
// stay as they are. Throws Errore.
void aggiornaProgramma(const QString &installato, const QString &copia);

} // namespace copiapersonale
