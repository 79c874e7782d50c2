// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colori.h"

namespace colori {

QPalette::ColorRole ruoloDiSistema(quint32 bgr)
{
    switch (bgr) {
    case sfondoFinestra:
        return QPalette::Base;
    case testoFinestra:
        return QPalette::WindowText;
    case facciaPulsante:
        return QPalette::Button;
    case testoPulsante:
        return QPalette::ButtonText;
    default:
        return QPalette::NoRole;
    }
}

QColor colore(quint32 bgr, const QPalette &tavolozza)
{
    if (diSistema(bgr)) {
        const QPalette::ColorRole ruolo = ruoloDiSistema(bgr);
        return ruolo == QPalette::NoRole ? tavolozza.color(QPalette::WindowText) : tavolozza.color(ruolo);
    }
    return QColor(rosso(bgr), verde(bgr), blu(bgr));
}

quint32 inBgr(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace colori
