// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks make their data folders of: photo-like pictures and distinct words.

#include <QImage>
#include <QLatin1Char>
#include <QString>

// A photo-like picture: gradients with noise of up to 2^(32 - bitRumore) levels, different for each
// seed. Detailed (16 levels) a 12-megapixel one is a 2.7 MB file, like a camera's; smooth (2 levels)
// it is a 0.3 MB file.
inline QImage foto(QSize dimensione, int bitRumore, quint32 seme = 12345)
{
    QImage img(dimensione, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *riga = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            seme = seme * 1664525u + 1013904223u;
            const int rumore = int(seme >> bitRumore);
            riga[x] = qRgb((x * 255 / img.width() + rumore) & 0xFF, (y * 255 / img.height() + rumore) & 0xFF,
                ((x + y) / 8 + rumore) & 0xFF);
        }
    }
    return img;
}

// The i-th word of `lettere` letters, all different: "aaaa", "aaab"... (no q: words the editor's
// benchmark adds have one).
inline QString parolaNumero(int i, int lettere)
{
    static const char alfabeto[] = "abcdefghilmnoprstuvz";
    QString p;
    for (int k = 0; k < lettere; ++k, i /= 20)
        p.prepend(QLatin1Char(alfabeto[i % 20]));
    return p;
}
