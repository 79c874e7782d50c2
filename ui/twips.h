// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Window designs are kept in the units they were drawn in: twips for rectangles (1/1440 inch,
// 15 to a pixel at 96 dpi) and points for fonts. These helpers are the one place they turn into
// Qt's device-independent pixels, so a 2x screen stays crisp and the layout never drifts.

#include <QFont>
#include <QRect>
#include <QString>

namespace twips
{

inline constexpr int perPixel = 15;

struct Rettangolo {
    int left;
    int top;
    int width;
    int height;
};

constexpr bool intero(int t)
{
    return t % perPixel == 0;
}
constexpr bool intero(Rettangolo r)
{
    return intero(r.left) && intero(r.top) && intero(r.width) && intero(r.height);
}

constexpr int inPixel(int t)
{
    return t / perPixel;
}

inline QRect inPixel(Rettangolo r)
{
    return QRect(inPixel(r.left), inPixel(r.top), inPixel(r.width), inPixel(r.height));
}

inline QSize inPixel(int width, int height)
{
    return QSize(inPixel(width), inPixel(height));
}

// Point sizes were chosen on a 96-dpi screen: 69.75 pt were 93 pixels there. Sizing by pixels keeps
// the letters exactly as big as designed whatever dpi the desktop reports.
constexpr int punti96InPixel(double punti)
{
    return int(punti * 96.0 / 72.0 + 0.5);
}

struct Carattere {
    const char *famiglia;
    double punti;
    bool grassetto;
};

inline QFont font(Carattere c)
{
    QFont f(QString::fromLatin1(c.famiglia));
    f.setPixelSize(punti96InPixel(c.punti));
    f.setBold(c.grassetto);
    return f;
}

} // namespace twips
