// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wav.h"

#include <QtEndian>

#include <optional>

namespace wav
{

namespace
{

quint16 u16(QByteArrayView b, qsizetype i)
{
    return qFromLittleEndian<quint16>(b.data() + i);
}
quint32 u32(QByteArrayView b, qsizetype i)
{
    return qFromLittleEndian<quint32>(b.data() + i);
}

constexpr quint16 pcm = 1, virgolaMobile = 3, aLaw = 6, muLaw = 7, estensibile = 0xFFFE;

std::optional<Campione> campione(quint16 codifica, quint16 bit)
{
    switch (codifica) {
    case pcm:
        switch (bit) {
        case 8:
            return Campione::u8;
        case 16:
            return Campione::s16;
        case 24:
            return Campione::s24;
        case 32:
            return Campione::s32;
        }
        break;
    case virgolaMobile:
        if (bit == 32)
            return Campione::f32;
        break;
    case aLaw:
        if (bit == 8)
            return Campione::alaw;
        break;
    case muLaw:
        if (bit == 8)
            return Campione::ulaw;
        break;
    }
    return std::nullopt;
}

Lettura errore(QString perche)
{
    return Lettura {{}, std::move(perche)};
}

} // namespace

Lettura leggi(QByteArrayView file)
{
    if (file.size() < 12 || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE")
        return errore(QStringLiteral("manca l'intestazione RIFF/WAVE"));

    QByteArrayView formato, dati;
    bool datiTrovati = false;
    // Chunks are walked to the end of the file, whatever the RIFF size says.
    for (qsizetype i = 12; i + 8 <= file.size();) {
        const QByteArrayView id = file.sliced(i, 4);
        const qint64 dimensione = u32(file, i + 4);
        const qsizetype corpo = i + 8;
        const qsizetype presenti = qsizetype(qMin<qint64>(dimensione, file.size() - corpo));
        if (id == "fmt " && formato.isEmpty())
            formato = file.sliced(corpo, presenti);
        else if (id == "data" && !datiTrovati) {
            dati = file.sliced(corpo, presenti);
            datiTrovati = true;
        }
        if (dimensione > file.size() - corpo)
            break;
        i = corpo + qsizetype(dimensione) + qsizetype(dimensione & 1);
    }
    if (formato.size() < 16)
        return errore(QStringLiteral("manca il blocco del formato (fmt)"));
    if (!datiTrovati)
        return errore(QStringLiteral("manca il blocco dei campioni (data)"));

    quint16 codifica = u16(formato, 0);
    const int canali = u16(formato, 2);
    const quint32 frequenza = u32(formato, 4);
    const int allineamento = u16(formato, 12);
    const quint16 bit = u16(formato, 14);
    // WAVE_FORMAT_EXTENSIBLE: the real encoding is the first two bytes of the sub-format GUID.
    if (codifica == estensibile && formato.size() >= 40)
        codifica = u16(formato, 24);
    const std::optional<Campione> c = campione(codifica, bit);
    if (!c) {
        return errore(
            QStringLiteral("codifica non supportata (formato %1, %2 bit), salvalo come WAV PCM a 16 bit")
                .arg(codifica)
                .arg(bit));
    }
    if (canali < 1 || canali > massimoCanali)
        return errore(QStringLiteral("numero di canali non valido (%1)").arg(canali));
    if (frequenza < 1 || frequenza > quint32(massimaFrequenza))
        return errore(QStringLiteral("frequenza non valida (%1 Hz)").arg(frequenza));
    const int fotogramma = canali * (bit / 8);
    if (allineamento != fotogramma) {
        return errore(QStringLiteral("allineamento dei campioni non valido (%1 byte invece di %2)")
                          .arg(allineamento)
                          .arg(fotogramma));
    }
    const qsizetype interi = dati.size() - dati.size() % fotogramma;
    if (interi == 0)
        return errore(QStringLiteral("il suono non ha campioni"));
    return Lettura {Suono {*c, canali, int(frequenza), dati.first(interi).toByteArray()}, {}};
}

} // namespace wav
