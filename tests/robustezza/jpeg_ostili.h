// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pictures for the bad-data tests, made in memory by the test itself: small real JPEGs from Qt's
// writer, and hostile ones made from them by a few byte edits (a header that claims more, a scan
// repeated thousands of times), plus a valid phone-sized JPEG written directly.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSize>

#include <functional>
#include <stdexcept>

namespace jpegostili
{

// A real JPEG of the given size from Qt's writer; progressive when asked.
inline QByteArray jpeg(QSize dimensione, bool progressivo = false, QColor colore = Qt::darkGreen)
{
    QImage img(dimensione, QImage::Format_RGB32);
    img.fill(colore);
    QByteArray byte;
    QBuffer b(&byte);
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, "jpeg");
    w.setProgressiveScanWrite(progressivo);
    w.setQuality(90);
    if (!w.write(img))
        throw std::runtime_error("cannot encode a JPEG");
    return byte;
}

// The offset of the first frame header (SOF0..SOF15 but DHT, JPG and DAC), or -1.
inline qsizetype inizioFrame(const QByteArray &j)
{
    qsizetype i = 2;
    while (i + 4 <= j.size() && uchar(j[i]) == 0xFF) {
        const uchar m = uchar(j[i + 1]);
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC)
            return i;
        i += 2 + (uchar(j[i + 2]) << 8 | uchar(j[i + 3]));
    }
    return -1;
}

// The JPEG with its frame header changed: claimed size, sample precision and frame type.
inline QByteArray conFrame(QByteArray j, QSize dimensione, int precisione = 8, int tipo = -1)
{
    const qsizetype f = inizioFrame(j);
    if (f < 0)
        throw std::runtime_error("no frame header");
    if (tipo >= 0)
        j[f + 1] = char(tipo);
    j[f + 4] = char(precisione);
    j[f + 5] = char(dimensione.height() >> 8);
    j[f + 6] = char(dimensione.height() & 0xFF);
    j[f + 7] = char(dimensione.width() >> 8);
    j[f + 8] = char(dimensione.width() & 0xFF);
    return j;
}

// A coefficient bomb: a tiny progressive JPEG whose header claims `lato` x `lato`. libjpeg keeps
// the whole coefficient buffer of a progressive picture, whatever the output size.
inline QByteArray bombaCoefficienti(int lato)
{
    return conFrame(jpeg(QSize(16, 16), true), QSize(lato, lato));
}

// A scan bomb: a small progressive JPEG with its smallest scan repeated `volte` more times.
inline QByteArray bombaScansioni(int volte, QSize dimensione = QSize(512, 512))
{
    const QByteArray j = jpeg(dimensione, true);
    // Scans: from an SOS marker to the next marker that is neither a stuffed 0xFF nor a restart.
    qsizetype migliore = -1, lunghezza = 0;
    for (qsizetype i = 2; i + 1 < j.size(); ++i) {
        if (uchar(j[i]) != 0xFF || uchar(j[i + 1]) != 0xDA)
            continue;
        qsizetype k = i + 2;
        while (k + 1 < j.size()
            && !(uchar(j[k]) == 0xFF && uchar(j[k + 1]) != 0
                && (uchar(j[k + 1]) < 0xD0 || uchar(j[k + 1]) > 0xD7)))
            ++k;
        if (migliore < 0 || k - i < lunghezza) {
            migliore = i;
            lunghezza = k - i;
        }
        i = k - 1;
    }
    if (migliore < 0)
        throw std::runtime_error("no scan");
    const QByteArray scansione = j.mid(migliore, lunghezza);
    return j.chopped(2) + scansione.repeated(volte) + QByteArray("\xFF\xD9");
}

// The JPEG with an EXIF block that gives it an orientation (1..8), right after its start marker.
inline QByteArray conOrientamento(const QByteArray &j, int orientamento)
{
    QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
    exif += char(orientamento);
    exif += QByteArray(7, '\0'); // the value's padding, then no next directory
    QByteArray app1("\xFF\xE1");
    app1 += char((exif.size() + 2) >> 8);
    app1 += char((exif.size() + 2) & 0xFF);
    return j.left(2) + app1 + exif + j.mid(2);
}

// A valid grey baseline JPEG of any size, written directly: one component, Huffman tables with a
// single one-bit code each (DC difference 0, end of block), so every 8 x 8 block costs two bits.
// 12000 x 9000 takes 420 kB and decodes to flat grey.
inline QByteArray jpegPiatto(QSize dimensione)
{
    QByteArray j("\xFF\xD8", 2);
    auto segmento = [&j](uchar marker, const QByteArray &dati) {
        j += char(0xFF);
        j += char(marker);
        j += char((dati.size() + 2) >> 8);
        j += char((dati.size() + 2) & 0xFF);
        j += dati;
    };
    segmento(0xDB, QByteArray(1, 0) + QByteArray(64, 1)); // quantisation table 0, all ones
    QByteArray sof("\x08", 1);
    sof += char(dimensione.height() >> 8);
    sof += char(dimensione.height() & 0xFF);
    sof += char(dimensione.width() >> 8);
    sof += char(dimensione.width() & 0xFF);
    sof += QByteArray("\x01\x01\x11\x00", 4);
    segmento(0xC0, sof);
    // One code of length 1 in each table: DC symbol 0 (no difference), AC symbol 0 (end of block).
    QByteArray dht;
    for (uchar classe : {uchar(0x00), uchar(0x10)}) {
        dht += char(classe);
        dht += char(1);
        dht += QByteArray(15, 0);
        dht += char(0);
    }
    segmento(0xC4, dht);
    segmento(0xDA, QByteArray("\x01\x01\x00\x00\x3F\x00", 6));
    const qint64 blocchi = qint64((dimensione.width() + 7) / 8) * ((dimensione.height() + 7) / 8);
    // Two zero bits per block; the last byte is padded with ones.
    const qint64 bit = 2 * blocchi;
    j += QByteArray(qsizetype(bit / 8), '\0');
    if (bit % 8)
        j += char(0xFF >> (bit % 8));
    j += QByteArray("\xFF\xD9", 2);
    return j;
}

// Bits of entropy-coded data, most significant first, with a zero byte after each 0xFF.
class Bit
{
public:
    explicit Bit(QByteArray &uscita)
        : j(uscita)
    {
    }
    void scrivi(quint32 valore, int n)
    {
        for (int i = n - 1; i >= 0; --i) {
            corrente = quint8(corrente << 1 | ((valore >> i) & 1));
            if (++pieni == 8)
                svuota();
        }
    }
    // The end of a scan: the last byte padded with ones.
    void chiudi()
    {
        while (pieni != 0)
            scrivi(1, 1);
    }

private:
    void svuota()
    {
        j += char(corrente);
        if (corrente == 0xFF)
            j += char(0);
        corrente = 0;
        pieni = 0;
    }
    QByteArray &j;
    quint8 corrente = 0;
    int pieni = 0;
};

// A valid grey progressive JPEG in exactly 100 scans, the most a JPEG may have, written directly:
// the DC coefficient in eleven scans (a first one and ten refinements), coefficients 1 to 26 each
// in a first scan and a refinement, 27 to 63 in one scan each. Flat, it is all grey and costs about
// two bits per block (8900 x 8900 takes 170 kB); with noise, every block of every scan holds data
// (8900 x 8900 takes about 25 MB).
inline QByteArray jpegCentoPassate(QSize dimensione, bool rumore)
{
    QByteArray j("\xFF\xD8", 2);
    auto segmento = [&j](uchar marker, const QByteArray &dati) {
        j += char(0xFF);
        j += char(marker);
        j += char((dati.size() + 2) >> 8);
        j += char((dati.size() + 2) & 0xFF);
        j += dati;
    };
    segmento(0xDB, QByteArray(1, 0) + QByteArray(64, 1));
    QByteArray sof("\x08", 1);
    sof += char(dimensione.height() >> 8);
    sof += char(dimensione.height() & 0xFF);
    sof += char(dimensione.width() >> 8);
    sof += char(dimensione.width() & 0xFF);
    sof += QByteArray("\x01\x01\x11\x00", 4);
    segmento(0xC2, sof);
    // DC: one code, "0", for no difference. AC: "0" for a coefficient of size 1, then the fifteen
    // end-of-band runs EOB0..EOB14 in five bits each, 10000 to 11110.
    QByteArray dht;
    dht += char(0x00);
    dht += char(1);
    dht += QByteArray(15, 0);
    dht += char(0);
    dht += char(0x10);
    dht += QByteArray("\x01\x00\x00\x00\x0F", 5);
    dht += QByteArray(11, 0);
    dht += char(0x01);
    for (int r = 0; r <= 14; ++r)
        dht += char(r << 4);
    segmento(0xC4, dht);

    const qint64 blocchi = qint64((dimensione.width() + 7) / 8) * ((dimensione.height() + 7) / 8);
    quint64 stato = 0x9E3779B97F4A7C15ULL;
    auto caso = [&stato]() -> quint32 {
        stato ^= stato << 13;
        stato ^= stato >> 7;
        stato ^= stato << 17;
        return quint32(stato >> 40) & 1;
    };
    auto scansione = [&](int ss, int se, int ah, int al, const std::function<void(Bit &)> &dati) {
        segmento(0xDA, QByteArray("\x01\x01\x00", 3) + char(ss) + char(se) + char(ah << 4 | al));
        Bit b(j);
        dati(b);
        b.chiudi();
    };
    // Runs of empty blocks, each followed by the blocks' correction bits when they have some.
    auto vuoti = [&](Bit &b, bool correzioni) {
        for (qint64 resto = blocchi; resto > 0;) {
            const int n = int(qMin<qint64>(resto, 32767));
            int r = 0;
            while ((2 << r) <= n)
                ++r;
            b.scrivi(0x10 + quint32(r), 5);
            b.scrivi(quint32(n - (1 << r)), r);
            if (correzioni) {
                for (int i = 0; i < n; ++i)
                    b.scrivi(caso(), 1);
            }
            resto -= n;
        }
    };
    scansione(0, 0, 0, 10, [&](Bit &b) {
        for (qint64 i = 0; i < blocchi; ++i)
            b.scrivi(0, 1);
    });
    for (int a = 10; a >= 1; --a) {
        scansione(0, 0, a, a - 1, [&](Bit &b) {
            for (qint64 i = 0; i < blocchi; ++i)
                b.scrivi(rumore ? caso() : 0, 1);
        });
    }
    auto primi = [&](Bit &b) {
        if (!rumore)
            return vuoti(b, false);
        for (qint64 i = 0; i < blocchi; ++i) {
            b.scrivi(0, 1); // run 0, size 1
            b.scrivi(caso(), 1); // its sign
        }
    };
    for (int k = 1; k <= 26; ++k)
        scansione(k, k, 0, 1, primi);
    for (int k = 1; k <= 26; ++k)
        scansione(k, k, 1, 0, [&](Bit &b) { vuoti(b, rumore); });
    for (int k = 27; k <= 63; ++k)
        scansione(k, k, 0, 0, primi);
    j += QByteArray("\xFF\xD9", 2);
    return j;
}

// A drawing (SVG) that shows another picture through <image>: a file name, or a data: URI.
inline QByteArray svgConImmagine(const QByteArray &riferimento)
{
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"64\" height=\"64\">\n"
           "<image width=\"64\" height=\"64\" xlink:href=\""
        + riferimento + "\"/>\n</svg>\n";
}

} // namespace jpegostili
