// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The word-list reader. A list is a sequence of fields, one word each, in file order:
//
//  - A field ends at a comma or at a line end. A line end is CR LF, a lone CR or a lone LF.
//  - Blanks (spaces and tabs) before a field are skipped; blanks at the end of an unquoted field
//    are dropped too, so "cane  " is "cane".
//  - A field that begins with a double quote runs to the next double quote; the quotes are not part
//    of the word, and commas and line ends between them belong to it. Text between the closing quote
//    and the next comma or line end is ignored. A quote that is never closed is taken as closed at
//    the end of its line, so one stray quote cannot swallow the rest of the list.
//  - A double quote inside an unquoted field is part of the word.
//  - An empty line, or nothing between two commas, is an empty word of its own. A line end (or a
//    comma) right before the end of the file adds no field; an empty line at the end does.
//  - Any other character, control bytes and NUL included, is part of the word as it stands; such
//    a word simply names no picture.
//
// Code page: a list that begins with a UTF-16 byte-order mark (what Notepad saves as "Unicode") is
// read as UTF-16 in that byte order; a list that is valid UTF-8 is read as UTF-8 (a byte-order mark
// is skipped); any other list is read as Windows-1252, the code page such lists were usually written
// in. One DOS end-of-file character (0x1A) at the very end is the end of the file, not a word.
//
// The reader goes through the text once, never reads past its end, and stops as soon as it has the
// number of fields asked for, so a huge or hostile file costs no more than its first fields.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace listaparole
{

inline constexpr int massimoParole = 200;

struct Campo {
    QString parola;
    int riga; // 1-based line where the field starts
    qsizetype lunghezza = 0; // the field's length in UTF-16 units, also when parola keeps only a part
};

// How a list's bytes are encoded, by the code-page rule above. A writer that keeps a list's encoding
// (the list editor) writes it back the way it was read.
enum class Codifica {
    utf8, // plain UTF-8 (and so plain ASCII)
    utf8Bom, // UTF-8 after a byte-order mark
    windows1252, // anything that is not valid UTF-8
    utf16le, // UTF-16 little endian after its byte-order mark
    utf16be, // UTF-16 big endian after its byte-order mark
};

// The encoding of the bytes; at most the whole text is looked at once.
Codifica codifica(QByteArrayView byte);

// The encoding's usual name, for a teacher: "UTF-8", "UTF-16 LE", "Windows-1252".
QString nomeCodifica(Codifica codifica);

// The bytes as text, by the code-page rule above.
QString decodifica(const QByteArray &byte);

// At most `limite` fields of the text, in order. With `massimo` not negative, a field longer than
// that keeps only its leading spaces and `massimo` characters more: enough to tell a word that is
// too long to name a picture, without holding megabytes of it.
std::vector<Campo> leggiCampi(QStringView testo, std::size_t limite, qsizetype massimo = -1);

// The same fields, from the file's bytes by the code-page rule above. Only the fields are decoded,
// never the whole text, so a list costs little more than its bytes.
std::vector<Campo> leggiCampiByte(const QByteArray &byte, std::size_t limite, qsizetype massimo = -1);

// Lists larger than this are refused before they are read: a real list is a few kilobytes.
inline constexpr qint64 massimoByte = 64 * 1024 * 1024;

// Reads the file's bytes, a piece at a time. Throws Errore naming the file, and saying why in
// Italian, when it is missing, is no regular file (a folder, a FIFO, a device), cannot be read or
// is too large. The game, the checker and the editor read lists only through here.
QByteArray leggiByte(const QString &percorso);

// leggiByte(), decoded.
QString leggiFile(const QString &percorso);

} // namespace listaparole
