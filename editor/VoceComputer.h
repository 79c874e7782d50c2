// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer's voice for a word, where the speech synthesiser espeak-ng is installed (the package
// only recommends it): its Italian voice, slow enough for a child of 4, then trimmed and levelled
// like a recorded voice.

#include "editor/Voce.h"

#include <QString>

namespace vocecomputer
{

// Words a minute: espeak's own 175 runs the syllables together for a child who is learning them;
// 110 gives each syllable of a 3 to 6 letter word about a quarter of a second, still one word.
inline constexpr int velocita = 110;

// The program, found on PATH; empty when it is not installed.
QString programma();

// The voice of `testo` (the word, or how to pronounce it: "àncora"). The result's error says, in
// Italian, what is missing or what went wrong.
voce::Risultato voce(const QString &testo);

} // namespace vocecomputer
