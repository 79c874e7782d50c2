// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer's voice for a word, where an Italian speech synthesiser is installed (the package
// only recommends one): espeak-ng's Italian voice, else festival's, slow enough for a child of 4,
// then trimmed and levelled like a recorded voice.

#include "editor/Voce.h"

#include <QString>
#include <QStringList>

namespace vocecomputer
{

// Words a minute: espeak's own 175 runs the syllables together for a child who is learning them;
// 110 gives each syllable of a 3 to 6 letter word about a quarter of a second, still one word.
inline constexpr int velocita = 110;
// festival's Italian voices speak at about espeak's own rate: slowed by as much, 175 / 110.
inline constexpr double allungamentoFestival = 1.6;

struct Sintetizzatore {
    QString programma; // empty when none is installed
    QStringList argomenti; // the text goes in on standard input
    bool latino1 = false; // festival reads Latin-1, espeak-ng UTF-8
    // The WAV comes out on standard output, or (festival, whose streamed header says no length) into
    // a file named after the arguments.
    bool suFile = false;
};

// espeak-ng found on PATH, else festival's text2wave with an Italian voice (the female one first).
Sintetizzatore sintetizzatore(
    const QString &vociFestival = QStringLiteral("/usr/share/festival/voices/italian"));

// The synthesiser's program; empty when none is installed.
QString programma();

// The voice of `testo` (the word, or how to pronounce it: "àncora"). The result's error says, in
// Italian, what is missing or what went wrong.
voce::Risultato voce(const QString &testo, const Sintetizzatore &s = sintetizzatore());

} // namespace vocecomputer
