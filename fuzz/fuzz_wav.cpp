// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the WAV reader: any bytes at all are read as a sound file, and what comes
// out must be something a sound server can take as it is.

#include "invarianti.h"
#include "ui/wav.h"

#include <cstdint>

namespace
{

int byteCampione(wav::Campione c)
{
    switch (c) {
    case wav::Campione::u8:
    case wav::Campione::alaw:
    case wav::Campione::ulaw:
        return 1;
    case wav::Campione::s16:
        return 2;
    case wav::Campione::s24:
        return 3;
    case wav::Campione::s32:
    case wav::Campione::f32:
        return 4;
    }
    fallito("unknown sample encoding");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dati, std::size_t dimensione)
{
    const QByteArrayView file(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const wav::Lettura l = wav::leggi(file);
    if (!l.valida()) {
        VERIFICA(l.suono.dati.isEmpty());
        return 0;
    }
    const wav::Suono &s = l.suono;
    VERIFICA(s.canali >= 1 && s.canali <= wav::massimoCanali);
    VERIFICA(s.frequenza >= 1 && s.frequenza <= wav::massimaFrequenza);
    // Whole frames, never more bytes than the file holds.
    VERIFICA(!s.dati.isEmpty());
    VERIFICA(s.dati.size() % (s.canali * byteCampione(s.campione)) == 0);
    VERIFICA(s.dati.size() + 44 <= qsizetype(dimensione));
    return 0;
}
