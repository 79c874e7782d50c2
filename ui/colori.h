// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// Colours as the designs give them: 0x00BBGGRR, red in the low byte, or 0x800000nn for the
// desktop's system colour number nn.
namespace colori
{

inline constexpr quint32 sistema = 0x80000000u;
inline constexpr quint32 sfondoFinestra = 0x80000005u;
inline constexpr quint32 testoFinestra = 0x80000008u;
inline constexpr quint32 facciaPulsante = 0x8000000Fu;
inline constexpr quint32 testoPulsante = 0x80000012u;

constexpr bool diSistema(quint32 bgr)
{
    return (bgr & 0xFF000000u) == sistema;
}

constexpr int rosso(quint32 bgr)
{
    return int(bgr & 0xFFu);
}
constexpr int verde(quint32 bgr)
{
    return int((bgr >> 8) & 0xFFu);
}
constexpr int blu(quint32 bgr)
{
    return int((bgr >> 16) & 0xFFu);
}

// The palette role that stands for a system colour number; QPalette::NoRole for one we do not use.
QPalette::ColorRole ruoloDiSistema(quint32 bgr);

// The classic light palette the designs were drawn against: dark text on white boxes and light grey
// buttons, every role of every group set. The windows, their menus and message boxes use it whatever
// colour scheme the desktop has, since the designs put system colours on fixed light backgrounds
// (white letter labels, the cyan window) that a dark scheme would turn into white on white.
QPalette tavolozzaClassica();

// The colour itself; system colours take their classic light values, never the desktop's.
QColor colore(quint32 bgr);

// The value back in the design's layout, for tests and reports.
quint32 inBgr(const QColor &c);

} // namespace colori
