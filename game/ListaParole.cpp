// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/ListaParole.h"

#include "base/errore.h"
#include "base/motivi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace listaparole
{

namespace
{

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused codes keep their value.
constexpr char16_t cp1252Alti[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

QString daCp1252(QByteArrayView byte)
{
    QString testo(byte.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < byte.size(); ++i) {
        const auto b = static_cast<unsigned char>(byte[i]);
        testo[i] = (b >= 0x80 && b <= 0x9F) ? QChar(cp1252Alti[b - 0x80]) : QChar(b);
    }
    return testo;
}

} // namespace

Codifica codifica(QByteArrayView byte)
{
    if (byte.startsWith("\xFF\xFE"))
        return Codifica::utf16le;
    if (byte.startsWith("\xFE\xFF"))
        return Codifica::utf16be;
    const bool bom = byte.startsWith("\xEF\xBB\xBF");
    if (bom)
        byte = byte.sliced(3);
    if (!byte.isValidUtf8())
        return Codifica::windows1252;
    return bom ? Codifica::utf8Bom : Codifica::utf8;
}

QString nomeCodifica(Codifica c)
{
    switch (c) {
    case Codifica::utf8:
        return QStringLiteral("UTF-8");
    case Codifica::utf8Bom:
        return QStringLiteral("UTF-8 con BOM");
    case Codifica::windows1252:
        return QStringLiteral("Windows-1252");
    case Codifica::utf16le:
        return QStringLiteral("UTF-16 LE");
    case Codifica::utf16be:
        return QStringLiteral("UTF-16 BE");
    }
    return {};
}

QString decodifica(const QByteArray &byte)
{
    QByteArrayView vista(byte);
    QString testo;
    const Codifica c = codifica(vista);
    switch (c) {
    case Codifica::utf16le:
    case Codifica::utf16be: {
        // An odd last byte or a lone surrogate becomes U+FFFD: such a word names no picture.
        QStringDecoder utf16(c == Codifica::utf16le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
        testo = utf16.decode(vista.sliced(2));
        break;
    }
    case Codifica::utf8Bom:
    case Codifica::utf8: {
        // Stateless: a multi-byte sequence cut off at the end of the file is an error, not a
        // character held back for more input that never comes (codifica() has ruled that out).
        QStringDecoder utf8(
            QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
        testo = utf8.decode(c == Codifica::utf8Bom ? vista.sliced(3) : vista);
        break;
    }
    case Codifica::windows1252:
        testo = daCp1252(vista.startsWith("\xEF\xBB\xBF") ? vista.sliced(3) : vista);
        break;
    }
    // An editor of the DOS era ended its files with Ctrl+Z.
    if (testo.endsWith(QChar(0x1A)))
        testo.chop(1);
    return testo;
}

namespace
{

// The text of a list seen one code at a time: UTF-16 units of decoded text, or the bytes of a list
// in a one-byte-per-character encoding (UTF-8, Windows-1252). Every character the reader looks for
// (blanks, commas, quotes, line ends) is ASCII, and in UTF-8 no byte of another character is ASCII,
// so both are read by the same rules and only each field's own text is decoded.
struct TestoUtf16 {
    QStringView t;
    qsizetype size() const { return t.size(); }
    char16_t operator[](qsizetype i) const { return t[i].unicode(); }
    QString campo(qsizetype inizio, qsizetype n) const { return t.sliced(inizio, n).toString(); }
};

struct TestoByte {
    QByteArrayView t;
    bool utf8;
    qsizetype size() const { return t.size(); }
    char16_t operator[](qsizetype i) const { return char16_t(static_cast<unsigned char>(t[i])); }
    QString campo(qsizetype inizio, qsizetype n) const
    {
        const QByteArrayView b = t.sliced(inizio, n);
        if (!utf8)
            return daCp1252(b);
        QStringDecoder d(
            QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
        return d.decode(b);
    }
};

// The part of a field [inizio, fine) that is kept: all of it, or when it is longer than `massimo`
// and `massimo` is not negative, its leading spaces and `massimo` characters more.
template <typename Testo>
qsizetype tenuta(const Testo &testo, qsizetype inizio, qsizetype fine, qsizetype massimo)
{
    if (massimo < 0 || fine - inizio <= massimo)
        return fine - inizio;
    qsizetype p = inizio;
    while (p < fine && testo[p] == u' ')
        ++p;
    return qMin(fine - inizio, p - inizio + massimo);
}

// Where the first `cercato` at or after `da` is, or -1.
template <typename Testo>
qsizetype indice(const Testo &testo, char16_t cercato, qsizetype da)
{
    for (qsizetype i = da; i < testo.size(); ++i) {
        if (testo[i] == cercato)
            return i;
    }
    return -1;
}

// The line ends in [da, a), CR LF counted once: those inside quotes still count as lines.
template <typename Testo>
int fineRigheTra(const Testo &testo, qsizetype da, qsizetype a)
{
    int righe = 0;
    for (qsizetype i = da; i < a; ++i) {
        if (testo[i] == u'\n' || (testo[i] == u'\r' && !(i + 1 < a && testo[i + 1] == u'\n')))
            ++righe;
    }
    return righe;
}

template <typename Testo>
std::vector<Campo> campi(const Testo &testo, std::size_t limite, qsizetype massimo)
{
    std::vector<Campo> campi;
    const qsizetype n = testo.size();
    qsizetype p = 0;
    int riga = 1;
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    auto fineRiga = [](char16_t c) { return c == u'\r' || c == u'\n'; };

    // Moves past one line end at p (CR LF counts once) and counts the line.
    auto saltaFineRiga = [&] {
        if (testo[p] == u'\r' && p + 1 < n && testo[p + 1] == u'\n')
            ++p;
        ++p;
        ++riga;
    };

    while (p < n && campi.size() < limite) {
        while (p < n && blank(testo[p]))
            ++p;
        Campo campo {QString(), riga};

        qsizetype chiusa = -1;
        if (p < n && testo[p] == u'"')
            chiusa = indice(testo, u'"', p + 1);

        if (chiusa >= 0) {
            riga += fineRigheTra(testo, p + 1, chiusa);
            campo.lunghezza = chiusa - p - 1;
            campo.parola = testo.campo(p + 1, tenuta(testo, p + 1, chiusa, massimo));
            p = chiusa + 1;
            while (p < n && testo[p] != u',' && !fineRiga(testo[p]))
                ++p;
        } else {
            // An unclosed quote opens a field that ends with its line, without the quote; as it is
            // taken as closed there, the line's commas belong to the word.
            const bool apertaSenzaChiusura = p < n && testo[p] == u'"';
            const qsizetype inizio = apertaSenzaChiusura ? p + 1 : p;
            p = inizio;
            while (p < n && (apertaSenzaChiusura || testo[p] != u',') && !fineRiga(testo[p]))
                ++p;
            qsizetype fine = p;
            while (fine > inizio && blank(testo[fine - 1]))
                --fine;
            campo.lunghezza = fine - inizio;
            campo.parola = testo.campo(inizio, tenuta(testo, inizio, fine, massimo));
        }

        if (p < n) {
            if (testo[p] == u',')
                ++p;
            else
                saltaFineRiga();
        }
        campi.push_back(std::move(campo));
    }
    return campi;
}

} // namespace

std::vector<Campo> leggiCampi(QStringView testo, std::size_t limite, qsizetype massimo)
{
    return campi(TestoUtf16 {testo}, limite, massimo);
}

std::vector<Campo> leggiCampiByte(const QByteArray &byte, std::size_t limite, qsizetype massimo)
{
    QByteArrayView vista(byte);
    const Codifica c = codifica(vista);
    if (c == Codifica::utf16le || c == Codifica::utf16be)
        return leggiCampi(decodifica(byte), limite, massimo);
    if (vista.startsWith("\xEF\xBB\xBF"))
        vista = vista.sliced(3);
    if (vista.endsWith('\x1A'))
        vista.chop(1);
    // A UTF-8 sequence cut off at the end of the file would be one U+FFFD; codifica() has ruled
    // that out, and a field never ends inside a sequence.
    return campi(TestoByte {vista, c != Codifica::windows1252}, limite, massimo);
}

QByteArray leggiByte(const QString &percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    const QFileInfo info(percorso);
    if (!info.exists())
        throw Errore(QStringLiteral("Lista di parole non trovata: %1").arg(nome));
    if (!info.isFile())
        throw Errore(QStringLiteral("La lista di parole non è un file: %1").arg(nome));
    if (info.size() > massimoByte)
        throw Errore(QStringLiteral("Lista di parole troppo grande: %1").arg(nome));
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Errore(QStringLiteral("Lista di parole illeggibile: %1 (%2)").arg(nome, motivi::diFile(file)));
    // Read a piece at a time, as far as the file goes: only what the file holds is ever reserved,
    // and a file that grew since it was measured is stopped one piece past the limit.
    QByteArray byte;
    byte.reserve(qsizetype(qMin<qint64>(info.size(), massimoByte)) + 1);
    constexpr qint64 pezzo = 64 * 1024;
    for (;;) {
        const qsizetype prima = byte.size();
        byte.resize(prima + pezzo);
        const qint64 letti = file.read(byte.data() + prima, pezzo);
        if (letti < 0)
            throw Errore(
                QStringLiteral("Lista di parole illeggibile: %1 (%2)").arg(nome, motivi::diFile(file)));
        byte.resize(prima + qsizetype(letti));
        if (letti == 0)
            break;
        if (byte.size() > massimoByte)
            throw Errore(QStringLiteral("Lista di parole troppo grande: %1").arg(nome));
    }
    byte.squeeze();
    return byte;
}

QString leggiFile(const QString &percorso)
{
    return decodifica(leggiByte(percorso));
}

} // namespace listaparole
