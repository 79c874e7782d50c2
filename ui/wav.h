// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The WAV files the game plays: a RIFF/WAVE file with a format chunk and a data chunk, in one of
// the sample encodings a sound server takes as they are, so nothing is converted here.
namespace wav
{

enum class Campione { u8, s16, s24, s32, f32, alaw, ulaw };

struct Suono {
    Campione campione = Campione::s16;
    int canali = 0;
    int frequenza = 0; // frames per second
    QByteArray dati; // whole frames only, interleaved, little-endian
};

// The most channels and the highest rate a sound server takes.
inline constexpr int massimoCanali = 32;
inline constexpr int massimaFrequenza = 384000;

struct Lettura {
    Suono suono;
    QString errore; // empty when the file can be played
    bool valida() const { return errore.isEmpty(); }
};

// Reads a whole WAV file held in memory. Chunks may come in any order, unknown chunks are
// skipped, and a data chunk that claims more than the file holds is cut to what is there (a
// truncated download still plays). The header's own sizes are never trusted for memory: the
// samples are a copy of bytes that exist. What cannot be played gets a reason in Italian.
Lettura leggi(QByteArrayView file);

} // namespace wav
