// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <memory>

namespace immagini
{

// A picture reduced to `verso`, no side larger than the original's, its rows given one at a time
// from the top as a decoder hands them out: each pixel of the result is the mean of the area of the
// original it covers, the pixels on its edges counted by the part of them inside it (weights in
// 256ths of a pixel: within 2 of the exact mean for a reduction of up to a few times). Only as many
// rows as one result row's taps are held, reduced across, however large the original. About twice
// as fast as Qt's smooth scale, in two passes over 16-bit sums (SSE2 where there is one): the
// reduction of a picture decoded just above the box costs less than half its decode.
class Riduzione
{
public:
    Riduzione(QSize origine, QSize verso);
    ~Riduzione();
    Riduzione(const Riduzione &) = delete;
    Riduzione &operator=(const Riduzione &) = delete;

    // The next row of the original: its pixels in memory order B, G, R and a fourth byte of 255, as
    // in QImage::Format_RGB32 (libjpeg's JCS_EXT_BGRA). Rows past the original's height are ignored.
    void riga(const uchar *bgrx);
    // The result (QImage::Format_RGB32); rows the original's rows given never reached are grey.
    QImage fine();

private:
    struct Dati;
    std::unique_ptr<Dati> d;
};

// The rows of `immagine` (QImage::Format_RGB32) from `prima` on, grey: what a picture shows where
// its decoder stopped early (a file cut short).
void grigieDa(QImage &immagine, int prima);

// `origine` (QImage::Format_RGB32) reduced to `verso` by Riduzione, all of it at once.
QImage ridotta(const QImage &origine, QSize verso);

} // namespace immagini
