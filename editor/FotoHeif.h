// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// HEIC and HEIF photos, as iPhones and many phones take them, read through libheif. Names follow
// the game's Italian vocabulary.

#include <QImage>
#include <QString>

namespace fotoheif
{

// A HEIF photo's pixels beyond which it is refused unread: its decoding takes four bytes a pixel
// at once. 64 million admits a phone's 48- and 50-megapixel modes.
inline constexpr qint64 massimoPixel = 64'000'000;

// The photo's primary picture, upright as the file says (its rotation and mirroring applied).
// Throws Errore, in Italian and with what to do, when the file cannot be read or is too large.
QImage leggi(const QString &percorso);

} // namespace fotoheif
