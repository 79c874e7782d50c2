// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A word's voice as the editor makes it, from the microphone or the computer: silence trimmed at
// both ends, brought to the loudness of the game's sounds with its peaks kept under the ceiling,
// and written as the game's WAV files are (16-bit PCM, mono). Samples are mono, between -1 and 1.

#include "ui/wav.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace voce
{

// The loudness of a voice, RMS over the trimmed word: the "no" sound's level, 2 dB under the "yes"
// sounds, so a word is heard as clearly as the game's answers and never louder than the praise; a
// spoken word's peaks stand 12 to 18 dB over its RMS, so at this level they need little limiting.
inline constexpr double livelloRms = -18.0; // dBFS
inline constexpr double picco = -1.0; // dBFS: no sample goes above it
// Kept around the word: the attack of a consonant before it, the fading vowel after it.
inline constexpr double margineInizio = 0.04; // seconds
inline constexpr double margineFine = 0.10;

double rmsDb(const std::vector<float> &campioni); // -120 for silence
double piccoDb(const std::vector<float> &campioni);

// Where the voice lies: [inizio, fine) in samples, margins included. Sound is what stands 12 dB
// over the noise floor (the quiet tenth of the recording) for at least 30 ms, and not more than
// 40 dB under the loudest moment; a click shorter than that is not a voice. Empty (inizio ==
// fine) when nothing stands out of the noise.
struct Tratto {
    std::size_t inizio = 0;
    std::size_t fine = 0;
    bool vuoto() const { return fine <= inizio; }
};
Tratto trovaVoce(const std::vector<float> &campioni, int frequenza);

// The samples of the voice alone, with 5 ms fades so its new edges do not click.
std::vector<float> ritaglia(const std::vector<float> &campioni, int frequenza);

// The samples at livelloRms, with a smooth limiter keeping every peak under `picco`.
std::vector<float> livella(const std::vector<float> &campioni, int frequenza);

// 16-bit PCM mono WAV.
QByteArray codifica(const std::vector<float> &campioni, int frequenza);

// Mono samples of a sound the game's reader read (any number of channels; PCM or float);
// empty for encodings a synthesiser does not write.
std::vector<float> campioniDi(const wav::Suono &suono);

struct Risultato {
    QByteArray wav; // empty when there is no voice
    QString errore; // why, in Italian
    double secondiTolti[2] = {0, 0}; // silence trimmed at the start and the end
};

// Trims, levels and encodes: the whole way from a recording to the voice file.
Risultato prepara(const std::vector<float> &campioni, int frequenza);

} // namespace voce
