// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colori.h"

#include <array>
#include <utility>

namespace colori
{

namespace
{

// Qt's own light palette, the one the game has always been drawn with where the desktop imposes no
// scheme: the same in the active and inactive groups, greyed in the disabled one.
constexpr std::array<std::pair<QPalette::ColorRole, QRgb>, 20> attivi = {{
    {QPalette::WindowText, 0xFF000000},
    {QPalette::Button, 0xFFEFEFEF},
    {QPalette::Light, 0xFFFFFFFF},
    {QPalette::Midlight, 0xFFCACACA},
    {QPalette::Dark, 0xFF9F9F9F},
    {QPalette::Mid, 0xFFB8B8B8},
    {QPalette::Text, 0xFF000000},
    {QPalette::BrightText, 0xFFFFFFFF},
    {QPalette::ButtonText, 0xFF000000},
    {QPalette::Base, 0xFFFFFFFF},
    {QPalette::Window, 0xFFEFEFEF},
    {QPalette::Shadow, 0xFF767676},
    {QPalette::Highlight, 0xFF308CC6},
    {QPalette::HighlightedText, 0xFFFFFFFF},
    {QPalette::Link, 0xFF0000FF},
    {QPalette::LinkVisited, 0xFFFF00FF},
    {QPalette::AlternateBase, 0xFFF7F7F7},
    {QPalette::ToolTipBase, 0xFFFFFFDC},
    {QPalette::ToolTipText, 0xFF000000},
    {QPalette::PlaceholderText, 0x80000000},
}};

constexpr std::array<std::pair<QPalette::ColorRole, QRgb>, 7> disattivati = {{
    {QPalette::WindowText, 0xFFBEBEBE},
    {QPalette::Dark, 0xFFBEBEBE},
    {QPalette::Text, 0xFFBEBEBE},
    {QPalette::ButtonText, 0xFFBEBEBE},
    {QPalette::Base, 0xFFEFEFEF},
    {QPalette::Shadow, 0xFFB1B1B1},
    {QPalette::Highlight, 0xFF919191},
}};

QColor argb(QRgb valore)
{
    return QColor::fromRgba(valore);
}

} // namespace

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

QPalette tavolozzaClassica()
{
    // Every button of the game window takes this palette: one built for all of them shares its
    // brushes instead of 60 of its own each. It is built again when the application's palette, on
    // which it is based, has changed.
    thread_local bool pronta = false;
    thread_local QPalette base;
    thread_local QPalette fatta;
    const QPalette ora;
    if (pronta && ora == base && ora.resolveMask() == base.resolveMask())
        return fatta;
    base = ora;
    QPalette tavolozza = ora;
    for (const auto &[ruolo, valore] : attivi)
        tavolozza.setColor(ruolo, argb(valore)); // every group
    tavolozza.setColor(QPalette::NoRole, argb(0xFF000000)); // Qt 6.6 and later ignore it
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // The accent Qt 6.6 added takes the highlight's colour in Qt's light palette; a dark desktop's
    // would otherwise show through in the Fusion style's focus frames and checked items.
    tavolozza.setColor(QPalette::Accent, argb(0xFF308CC6));
    tavolozza.setColor(QPalette::Disabled, QPalette::Accent, argb(0xFF919191));
#endif
    for (const auto &[ruolo, valore] : disattivati)
        tavolozza.setColor(QPalette::Disabled, ruolo, argb(valore));
    fatta = tavolozza;
    pronta = true;
    return tavolozza;
}

QColor colore(quint32 bgr)
{
    if (diSistema(bgr)) {
        const QPalette::ColorRole ruolo = ruoloDiSistema(bgr);
        return tavolozzaClassica().color(ruolo == QPalette::NoRole ? QPalette::WindowText : ruolo);
    }
    return QColor(rosso(bgr), verde(bgr), blu(bgr));
}

quint32 inBgr(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace colori
