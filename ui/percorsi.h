// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

struct stat;

// Data paths: the data folder followed by a relative part written as the data was first laid out,
// with backslashes ("\jpg\CANE.jpg"). The separators become the platform's, and every name after
// the data folder is matched without regard to letter case, since lists and pictures are often
// prepared on systems that ignore case.
namespace percorsi
{

// The path of an existing file or folder: each name after the data folder is taken as written when
// it exists, else as an entry equal to it in Unicode's composed form (names from a Mac come
// decomposed), else as one equal without regard to case. When none matches, the path as written,
// which then fails to open with its own name in the error.
QString dati(const QString &cartellaDati, const QString &relativo);

// The data folder: the folder that holds the program file, found through /proc/self/exe. Its path
// is returned as text when the text names it again; a folder whose name is not valid in the
// locale's encoding (a Latin-1 "caf\xE9" under UTF-8) would come back altered, so then the program
// moves into the folder and the data folder is ".". Never empty, never another folder: when the
// program's folder cannot be found at all, throws Errore.
QString cartellaProgramma();

// A folder given by bytes (a command-line argument, say), in the same way: its path as text when
// the text names it again, else "." after moving into it. Empty when the folder cannot be entered.
QString cartellaDaByte(const QByteArray &percorso);

// The name (without ".desktop") of the menu entry the word editor writes for a teacher's copy of the
// game in `cartella`; the copy's windows carry it as their class and application id, so that a dock
// shows her copy apart from the installed game.
QString voceCopia(const QString &cartella);

// The same file or folder, unchanged since `prima` was taken: one replaced differs in its device
// or inode, one rewritten in its size or its modification or change time (a folder's change with
// every entry added, removed or renamed).
bool stessoFile(const struct stat &prima, const struct stat &ora);

// No file system takes a longer name.
inline constexpr qsizetype massimoNome = 255;

// True when the text can stand as (part of) one name inside a folder: no separator of any platform,
// not "." or "..", no NUL, not longer than a name can be. A word from a list must pass this before
// it names a picture.
bool nomeSicuro(const QString &nome);

// The file of a word in a folder of the data folder, as the game names a word's files: the word as
// it is held at that moment (in the letter case in force) without its leading spaces, then the
// extension, looked up as dati() looks names up: "jpg" and ".jpg" give the word's picture, "voci"
// and ".wav" its voice. Nothing when the word cannot be a file name (nomeSicuro): a word never
// leads outside its folder.
std::optional<QString> fileParola(
    const QString &cartellaDati, QStringView cartella, QStringView parola, QStringView estensione);

} // namespace percorsi
