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

// A photo as the word dialog holds it: a JPEG at the size the frame needs at zoom 1, decoded by
// libjpeg at a reduced DCT scale (a 12-megapixel photo at a quarter of its sides, about 3 MB
// instead of 48), read again larger only when a zoomed frame needs more; any other picture whole.
struct Foto {
    QImage immagine; // upright; the frame's position is in its pixels
    QSize originale; // the photo's own size, upright
    QString percorso; // the JPEG to read again larger; empty when there is nothing larger to read
};

// The photo of a file for the frame (caricaFoto() for what is not a JPEG). Throws Errore as
// caricaFoto() does.
Foto apriFoto(const QString &percorso);

// The game's picture from a photo held reduced: when the frame's square holds fewer than lato of
// its pixels and the file has more, the file is read again at the size that square needs.
QImage ritaglia(const Foto &foto, const Posizione &posizione);

// The picture as the JPEG bytes the game reads.
QByteArray jpeg(const QImage &immagine);

} // namespace riquadro
