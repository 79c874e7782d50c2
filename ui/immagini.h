// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>

namespace immagini
{

// The picture of a word, looked up as the game does it: the data folder, "jpg", the word as it is
// held at that moment (in the letter case in force) without its leading spaces, then ".jpg"; each
// name taken as written first, then in one normalisation form, then without regard to case
// (percorsi::dati). The game and the checker both go through here. Throws Errore, naming the path
// the word would make, when the word cannot be a file name (percorsi::nomeSicuro): a word never
// leads outside the picture folder.
QString percorsoParola(const QString &cartellaDati, QStringView parola);

// Decodes the picture file straight to the given size in device pixels, stretched to fill it
// (width and height independently). The JPEG decoder scales while it decodes, so a large photo
// costs a fraction of a full decode and never needs its full-size memory. Throws Errore, naming the
// file, when it is missing or is no readable picture.
QImage caricaScalata(const QString &percorso, QSize dimensione);

// Pictures whose header claims more pixels than this are refused before any decoding.
inline constexpr qint64 massimoPixel = 100'000'000;

} // namespace immagini
