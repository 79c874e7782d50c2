// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace immagini {

// Decodes the picture file straight to the given size in device pixels, stretched to fill it
// (width and height independently). The JPEG decoder scales while it decodes, so a large photo
// costs a fraction of a full decode and never needs its full-size memory. Throws Errore, naming the
// file, when it is missing or is no readable picture.
QImage caricaScalata(const QString &percorso, QSize dimensione);

// Pictures whose header claims more pixels than this are refused before any decoding.
inline constexpr qint64 massimoPixel = 100'000'000;

} // namespace immagini
