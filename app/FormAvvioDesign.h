// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The start window as designed: twips, points and 0x00BBGGRR colours.

#include "ui/colori.h"
#include "ui/twips.h"

namespace FormAvvioDesign
{

inline constexpr int larghezza = 8820; // client area
inline constexpr int altezza = 6795;
inline constexpr quint32 coloreDisegnato = 0x00FFFF00; // replaced by a palette colour at load

inline constexpr twips::Rettangolo Label1 = {840, 1320, 7215, 1455};
inline constexpr const char *testoLabel1 = "BATTICCO";
inline constexpr twips::Carattere fontLabel1 = {"Arial", 69.75, true};
inline constexpr quint32 coloreTestoLabel1 = colori::testoFinestra;

inline constexpr twips::Rettangolo Command1 = {2520, 4200, 3615, 1095};
inline constexpr const char *testoCommand1 = "Avvio";
inline constexpr twips::Carattere fontCommand1 = {"Arial", 15.75, true};

static_assert(twips::intero(Label1) && twips::intero(Command1));
static_assert(twips::intero(larghezza) && twips::intero(altezza));

} // namespace FormAvvioDesign
