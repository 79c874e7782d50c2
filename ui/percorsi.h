// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Data paths: the data folder followed by a relative part written as the data was first laid out,
// with backslashes ("\jpg\CANE.jpg"). The separators become the platform's, and every name after
// the data folder is matched without regard to letter case, since lists and pictures are often
// prepared on systems that ignore case.
namespace percorsi {

// The path of an existing file or folder: each name after the data folder is taken as written when
// it exists, else as an entry equal to it in Unicode's composed form (names from a Mac come
// decomposed), else as one equal without regard to case. When none matches, the path as written,
// which then fails to open with its own name in the error.
QString dati(const QString &cartellaDati, const QString &relativo);

// No file system takes a longer name.
inline constexpr qsizetype massimoNome = 255;

// True when the text can stand as (part of) one name inside a folder: no separator of any platform,
// not "." or "..", no NUL, not longer than a name can be. A word from a list must pass this before
// it names a picture.
bool nomeSicuro(const QString &nome);

} // namespace percorsi
