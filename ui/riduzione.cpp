// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/riduzione.h"

#include <QColor>
#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <vector>

// The vector code is SSE2, which every x86-64 processor has; elsewhere (or built with
// RIDUZIONE_SENZA_VETTORI, as one test is) the same sums are done a byte at a time.
#if defined(__SSE2__) && !defined(RIDUZIONE_SENZA_VETTORI)
#define RIDUZIONE_VETTORI 1
#include <emmintrin.h>
#endif

namespace immagini
{

namespace
{

// The taps of one axis reduced from `s` pixels to `d`: for each result pixel, the first pixel of the
// original it reads, how many it reads (those it covers, rounded up to a multiple of `multiplo`)
// and their weights in 256ths, summing to 256 (0 for a pixel read but not covered). No read goes
// past the last pixel when the original has at least `massimo` of them.
struct Prese {
    int massimo = 1;
    std::vector<int> primo; // per result pixel
    std::vector<int> inizio; // where its weights start in `peso`, and one more at the end
    std::vector<quint16> peso;

    int quante(int X) const { return inizio[std::size_t(X) + 1] - inizio[std::size_t(X)]; }
};

Prese prese(int s, int d, int multiplo)
{
    // On an axis of s d units, pixel x of the original spans [x d, (x + 1) d) and result pixel X
    // spans [X s, (X + 1) s). The weights are the cumulative cover rounded, so that they sum to 256
    // exactly whatever the rounding of each.
    Prese p;
    p.primo.resize(std::size_t(d));
    p.inizio.resize(std::size_t(d) + 1);
    p.peso.reserve(std::size_t(s) + std::size_t(d) * std::size_t(multiplo + 1));
    for (int X = 0; X < d; ++X) {
        const qint64 da = qint64(X) * s;
        const qint64 a = da + s;
        const int x0 = int(da / d);
        const int x1 = int((a - 1) / d);
        const int letti = (x1 - x0 + multiplo) / multiplo * multiplo;
        p.massimo = qMax(p.massimo, letti);
        const int primo = qMax(0, qMin(x0, s - letti));
        p.primo[std::size_t(X)] = primo;
        p.inizio[std::size_t(X)] = int(p.peso.size());
        p.peso.resize(p.peso.size() + std::size_t(letti), 0);
        quint16 *peso = p.peso.data() + p.inizio[std::size_t(X)] + (x0 - primo);
        qint64 coperto = 0;
        int dato = 0;
        for (int x = x0; x <= x1; ++x) {
            coperto += qMin(a, qint64(x + 1) * d) - qMax(da, qint64(x) * d);
            const int fin = int((coperto * 256 + s / 2) / s);
            *peso++ = quint16(fin - dato);
            dato = fin;
        }
    }
    p.inizio[std::size_t(d)] = int(p.peso.size());
    return p;
}

#if defined(RIDUZIONE_VETTORI)
// An axis's weights as the vector code takes them, each 32-bit lane holding two 16-bit weights:
// across, a pair of taps (`prese` with `multiplo` 2); down, one tap's weight twice.
struct alignas(16) Coppia {
    quint32 corsie[4];

    __m128i vettore() const { return _mm_load_si128(reinterpret_cast<const __m128i *>(corsie)); }
};

std::vector<Coppia> pesiInVettori(const Prese &p, bool inCoppie)
{
    std::vector<Coppia> v(inCoppie ? p.peso.size() / 2 : p.peso.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        const quint32 coppia = inCoppie ? p.peso[2 * i] | quint32(p.peso[2 * i + 1]) << 16
                                        : p.peso[i] | quint32(p.peso[i]) << 16;
        v[i] = Coppia {{coppia, coppia, coppia, coppia}};
    }
    return v;
}
#else
struct Coppia {
};
#endif

// One row of the original reduced across into `riga` (4 bytes a pixel, rounded to 8 bits). With
// vectors, two taps at a time: the bytes of two pixels interleaved channel by channel, then one
// multiply-add of each pair by its two weights.
void riduciRiga(
    const uchar *origine, const Prese &o, [[maybe_unused]] const Coppia *pesi, uchar *riga, int larghezza)
{
#if defined(RIDUZIONE_VETTORI)
    // Pixels a and b's bytes interleaved channel by channel (B0 B1 G0 G1 R0 R1 X0 X1) in the low half
    // of the result; a second pair c d read in the upper 8 bytes comes out in the high half.
    const auto intrecciati = [](__m128i abcd) {
        const __m128i dopo = _mm_srli_si128(abcd, 4);
        return _mm_unpacklo_epi64(_mm_unpacklo_epi8(abcd, dopo), _mm_unpackhi_epi8(abcd, dopo));
    };
    const __m128i zero = _mm_setzero_si128();
    const __m128i mezzo = _mm_set1_epi32(128);
    for (int X = 0; X < larghezza;) {
        const uchar *p = origine + 4 * o.primo[std::size_t(X)];
        if (X + 1 < larghezza && o.quante(X) == 2 && o.quante(X + 1) == 2) {
            // Two result pixels of two taps each (all of them, for a picture decoded just above the
            // box) in one register, X's pair in the low half and X + 1's in the high half.
            const uchar *q = origine + 4 * o.primo[std::size_t(X) + 1];
            const __m128i coppie = intrecciati(_mm_castpd_si128(
                _mm_loadh_pd(_mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p))),
                    reinterpret_cast<const double *>(q))));
            const __m128i primo = _mm_madd_epi16(_mm_unpacklo_epi8(coppie, zero), pesi[0].vettore());
            const __m128i secondo = _mm_madd_epi16(_mm_unpackhi_epi8(coppie, zero), pesi[1].vettore());
            const __m128i due = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(primo, mezzo), 8),
                _mm_srli_epi32(_mm_add_epi32(secondo, mezzo), 8));
            _mm_storel_epi64(reinterpret_cast<__m128i *>(riga + 4 * X), _mm_packus_epi16(due, due));
            X += 2;
            pesi += 2;
            continue;
        }
        __m128i somma = mezzo;
        for (int c = o.quante(X) / 2; c > 0; --c, p += 8, ++pesi) {
            const __m128i coppia
                = _mm_unpacklo_epi8(intrecciati(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p))), zero);
            somma = _mm_add_epi32(somma, _mm_madd_epi16(coppia, pesi->vettore()));
        }
        somma = _mm_srli_epi32(somma, 8);
        somma = _mm_packs_epi32(somma, somma);
        const int pixel = _mm_cvtsi128_si32(_mm_packus_epi16(somma, somma));
        std::memcpy(riga + 4 * X, &pixel, 4);
        ++X;
    }
#else
    const quint16 *peso = o.peso.data();
    for (int X = 0; X < larghezza; ++X) {
        const uchar *p = origine + 4 * o.primo[std::size_t(X)];
        unsigned int c[4] = {128, 128, 128, 128};
        for (int k = o.quante(X); k > 0; --k, p += 4, ++peso)
            for (int j = 0; j < 4; ++j)
                c[j] += unsigned(*peso) * p[j];
        for (int j = 0; j < 4; ++j)
            riga[4 * X + j] = uchar(c[j] >> 8);
    }
#endif
}

// Down the picture: the rows of result row Y's taps, already reduced across, summed and rounded.
void sommaRighe(const uchar *const *righe, const quint16 *peso, [[maybe_unused]] const Coppia *pesi,
    int prese, uchar *riga, int n)
{
    int i = 0;
#if defined(RIDUZIONE_VETTORI)
    const __m128i zero = _mm_setzero_si128();
    const __m128i mezzo = _mm_set1_epi16(128);
    for (; i + 16 <= n; i += 16) {
        __m128i basso = mezzo;
        __m128i alto = mezzo;
        for (int k = 0; k < prese; ++k) {
            const __m128i w = pesi[k].vettore();
            const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i *>(righe[k] + i));
            basso = _mm_add_epi16(basso, _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), w));
            alto = _mm_add_epi16(alto, _mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), w));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(riga + i),
            _mm_packus_epi16(_mm_srli_epi16(basso, 8), _mm_srli_epi16(alto, 8)));
    }
#endif
    for (; i < n; ++i) {
        unsigned int somma = 128;
        for (int k = 0; k < prese; ++k)
            somma += unsigned(peso[k]) * righe[k][i];
        riga[i] = uchar(somma >> 8);
    }
}

} // namespace

struct Riduzione::Dati {
    Dati(QSize origine, QSize verso)
        : larghezza(origine.width())
        , altezza(origine.height())
#if defined(RIDUZIONE_VETTORI)
        , o(prese(larghezza, verso.width(), 2))
        , v(prese(altezza, verso.height(), 1))
        , coppie(pesiInVettori(o, true))
        , giu(pesiInVettori(v, false))
#else
        , o(prese(larghezza, verso.width(), 1))
        , v(prese(altezza, verso.height(), 1))
#endif
        , lunghezza(std::size_t(verso.width()) * 4)
        , copia(larghezza < o.massimo ? std::size_t(o.massimo) * 4 : 0)
        , anello(lunghezza * std::size_t(v.massimo))
        , righe(std::size_t(v.massimo))
        , risultato(verso, QImage::Format_RGB32)
    {
    }

    const int larghezza, altezza;
    const Prese o, v;
    const std::vector<Coppia> coppie, giu; // with vectors only
    const std::size_t lunghezza; // of a row reduced across, in bytes
    // A row narrower than the taps read (a picture of a pixel or three) is read from a copy with
    // room after it.
    std::vector<uchar> copia;
    // The rows reduced across, kept while result rows still need them: as many as one result row's
    // taps, each row of the original reduced once.
    std::vector<uchar> anello;
    std::vector<const uchar *> righe;
    QImage risultato;
    int ricevute = 0; // rows of the original given so far
    int fatte = 0; // result rows done
};

Riduzione::Riduzione(QSize origine, QSize verso)
{
    Q_ASSERT(verso.width() >= 1 && verso.height() >= 1);
    Q_ASSERT(verso.width() <= origine.width() && verso.height() <= origine.height());
    d = std::make_unique<Dati>(origine, verso);
}

Riduzione::~Riduzione() = default;

void Riduzione::riga(const uchar *bgrx)
{
    Dati &r = *d;
    if (r.ricevute >= r.altezza)
        return;
    const int y = r.ricevute++;
    if (!r.copia.empty()) {
        std::memcpy(r.copia.data(), bgrx, std::size_t(r.larghezza) * 4);
        bgrx = r.copia.data();
    }
    const int posto = y % r.v.massimo;
    riduciRiga(
        bgrx, r.o, r.coppie.data(), r.anello.data() + r.lunghezza * std::size_t(posto), r.risultato.width());
    // Every result row whose last row of the original this was.
    while (r.fatte < r.risultato.height()) {
        const int Y = r.fatte;
        const int primo = r.v.primo[std::size_t(Y)];
        const int quante = r.v.quante(Y);
        if (primo + quante - 1 > y)
            break;
        for (int k = 0; k < quante; ++k)
            r.righe[std::size_t(k)] = r.anello.data() + r.lunghezza * std::size_t((primo + k) % r.v.massimo);
        const auto inizio = std::size_t(r.v.inizio[std::size_t(Y)]);
        sommaRighe(r.righe.data(), r.v.peso.data() + inizio, r.giu.empty() ? nullptr : r.giu.data() + inizio,
            quante, r.risultato.scanLine(Y), int(r.lunghezza));
        ++r.fatte;
    }
}

QImage Riduzione::fine()
{
    Dati &r = *d;
    grigieDa(r.risultato, r.fatte);
    r.fatte = r.risultato.height();
    return std::move(r.risultato);
}

void grigieDa(QImage &immagine, int prima)
{
    for (int y = qMax(0, prima); y < immagine.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(immagine.scanLine(y)), immagine.width(), QColor(Qt::gray).rgb());
}

QImage ridotta(const QImage &origine, QSize verso)
{
    Q_ASSERT(origine.format() == QImage::Format_RGB32);
    Riduzione r(origine.size(), verso);
    for (int y = 0; y < origine.height(); ++y)
        r.riga(origine.constScanLine(y));
    return r.fine();
}

} // namespace immagini
