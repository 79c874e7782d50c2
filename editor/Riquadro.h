// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The square frame a teacher places on her photo, and the game's picture cut from it. Names follow
// the game's Italian vocabulary.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

namespace riquadro
{

// The side of the game's pictures, in pixels: large enough for the picture box at any desktop scale.
inline constexpr int lato = 480;

// The most a frame can zoom in: a tenth of the photo's short side.
inline constexpr double zoomMassimo = 10.0;

// Where the frame stands on the (upright) photo: its centre in the photo's pixels and its zoom, 1 being
// the largest square the photo holds.
struct Posizione {
    QPointF centro;
    double zoom = 1.0;
};

// The frame centred on the photo at zoom 1, as a new photo starts.
Posizione alCentro(QSize foto);

// The square the frame covers: the photo's short side divided by the zoom (1 to zoomMassimo), its
// centre moved as little as needed to keep it wholly inside the photo.
QRectF quadrato(QSize foto, const Posizione &posizione);

// The position with the centre moved to where quadrato() puts it, so dragging past an edge sticks.
Posizione limitata(QSize foto, const Posizione &posizione);

// The photo read from a file in any format Qt reads, turned upright by its EXIF orientation. Throws
// Errore, in Italian, when the file is no picture or is too large to open.
QImage caricaFoto(const QString &percorso);

// The game's picture: the framed square, lato x lato, opaque (a transparent photo on white).
QImage ritaglia(const QImage &foto, const Posizione &posizione);

// The picture as the JPEG bytes the game reads.
QByteArray jpeg(const QImage &immagine);

} // namespace riquadro
