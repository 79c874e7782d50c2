// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The program's own pictures (the icon, the faces, the arrow, the lamp): PNG files among its
// resources, read as the PNGs they are. Asked for a file without being told its format, Qt's reader
// first loads every picture plugin it has (SVG with Qt's SVG library, GIF, ICO, JPEG) to ask each
// whether it knows the file: about a millisecond of the start window's start, for nothing.
namespace risorse
{

// The picture; null when the resource is missing or is no PNG.
QImage immagine(const QString &risorsa);

// The icon of a picture as QIcon(risorsa) makes it: the picture, and with it the "@2x" picture
// (or "@3x"...) that suits a screen of `rapporto` device pixels per pixel (the application's
// when none is given), when there is one.
QIcon icona(const QString &risorsa, qreal rapporto = 0);

// Loads Qt's picture plugins, for the time before a window needs them. The game window's menu bar
// does: its style reads its own icons as files of no stated format, and there loading the plugins
// would hold up the game window's first paint by about a millisecond.
void preparaLettori();

} // namespace risorse
