// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game window's picture box, in the twips it was designed in, and the pixels a picture fills
// inside its one-pixel frame. The game window draws the box from it; the checker measures the
// teacher's pictures against it without reaching into the window's design.

#include "ui/twips.h"

#include <QSize>

namespace riquadroFigura
{

inline constexpr twips::Rettangolo rettangolo = {2760, 120, 3495, 3495};
inline constexpr int cornice = 1; // pixels of frame on each side

// 231x231: the picture's own pixels at 96 dpi.
inline constexpr QSize interno {
    twips::inPixel(rettangolo.width) - 2 * cornice, twips::inPixel(rettangolo.height) - 2 * cornice};

static_assert(twips::intero(rettangolo));

} // namespace riquadroFigura
