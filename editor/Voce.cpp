// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Voce.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace voce
{

namespace
{

constexpr double silenzioDb = -120.0;
constexpr double sopraRumore = 12.0; // dB over the noise floor
constexpr double sottoMassimo = 40.0; // dB under the loudest moment
constexpr double finestra = 0.010; // seconds in a level measure
constexpr int finestreMinime = 3; // 30 ms of sound before it counts as voice

double db(double lineare)
{
    return lineare > 0 ? std::max(silenzioDb, 20.0 * std::log10(lineare)) : silenzioDb;
}

double lineare(double decibel)
{
    return std::pow(10.0, decibel / 20.0);
}

double rms(const float *inizio, std::size_t n)
{
    double somma = 0;
    for (std::size_t i = 0; i < n; ++i)
        somma += double(inizio[i]) * inizio[i];
    return n ? std::sqrt(somma / double(n)) : 0.0;
}

// Per-sample gains that bring every sample under `tetto`: each sample's own need, held 2 ms either
// side, then let go over 60 ms and reached over 2 ms, never above the need, so no sample passes.
std::vector<float> guadagniLimitatore(const std::vector<float> &x, int frequenza, float tetto)
{
    const std::size_t n = x.size();
    std::vector<float> bisogno(n, 1.0f);
    for (std::size_t i = 0; i < n; ++i) {
        const float a = std::abs(x[i]);
        if (a > tetto)
            bisogno[i] = tetto / a;
    }
    const std::size_t tenuta = std::size_t(frequenza * 0.002);
    std::vector<float> g(bisogno);
    for (std::size_t i = 0; i < n; ++i) {
        if (bisogno[i] >= 1.0f)
            continue;
        const std::size_t da = i > tenuta ? i - tenuta : 0;
        const std::size_t a = std::min(n, i + tenuta + 1);
        for (std::size_t j = da; j < a; ++j)
            g[j] = std::min(g[j], bisogno[i]);
    }
    const float rilascio = float(1.0 - std::exp(-1.0 / (frequenza * 0.060)));
    const float attacco = float(1.0 - std::exp(-1.0 / (frequenza * 0.002)));
    for (std::size_t i = 1; i < n; ++i)
        g[i] = std::min(g[i], g[i - 1] + (1.0f - g[i - 1]) * rilascio);
    for (std::size_t i = n - 1; i-- > 0;)
        g[i] = std::min(g[i], g[i + 1] + (1.0f - g[i + 1]) * attacco);
    return g;
}

} // namespace

double rmsDb(const std::vector<float> &campioni)
{
    return db(rms(campioni.data(), campioni.size()));
}

double piccoDb(const std::vector<float> &campioni)
{
    float p = 0;
    for (float c : campioni)
        p = std::max(p, std::abs(c));
    return db(p);
}

Tratto trovaVoce(const std::vector<float> &campioni, int frequenza)
{
    const std::size_t lato = std::max<std::size_t>(1, std::size_t(frequenza * finestra));
    const std::size_t quante = campioni.size() / lato;
    if (quante < std::size_t(finestreMinime))
        return {};
    std::vector<double> livelli(quante);
    for (std::size_t i = 0; i < quante; ++i)
        livelli[i] = db(rms(campioni.data() + i * lato, lato));
    std::vector<double> ordinati(livelli);
    std::nth_element(ordinati.begin(), ordinati.begin() + quante / 10, ordinati.end());
    const double rumore = ordinati[quante / 10];
    const double massimo = *std::max_element(livelli.begin(), livelli.end());
    const double soglia = std::max(rumore + sopraRumore, massimo - sottoMassimo);
    if (massimo < rumore + sopraRumore || massimo <= silenzioDb)
        return {};

    auto suono = [&](std::size_t i) {
        for (int k = 0; k < finestreMinime; ++k) {
            if (livelli[i + k] < soglia)
                return false;
        }
        return true;
    };
    const std::size_t ultimaProva = quante - finestreMinime;
    std::size_t primo = 0;
    while (primo <= ultimaProva && !suono(primo))
        ++primo;
    if (primo > ultimaProva)
        return {};
    std::size_t ultimo = ultimaProva;
    while (!suono(ultimo))
        --ultimo;
    const std::size_t daMargine = std::size_t(frequenza * margineInizio);
    const std::size_t aMargine = std::size_t(frequenza * margineFine);
    const std::size_t inizio = primo * lato;
    const std::size_t fine = (ultimo + finestreMinime) * lato;
    return {inizio > daMargine ? inizio - daMargine : 0, std::min(campioni.size(), fine + aMargine)};
}

std::vector<float> ritaglia(const std::vector<float> &campioni, int frequenza)
{
    const Tratto t = trovaVoce(campioni, frequenza);
    if (t.vuoto())
        return {};
    std::vector<float> voce(
        campioni.begin() + std::ptrdiff_t(t.inizio), campioni.begin() + std::ptrdiff_t(t.fine));
    const std::size_t sfuma = std::min(voce.size() / 2, std::size_t(frequenza * 0.005));
    for (std::size_t i = 0; i < sfuma; ++i) {
        const float k = float(i) / float(sfuma);
        voce[i] *= k;
        voce[voce.size() - 1 - i] *= k;
    }
    return voce;
}

std::vector<float> livella(const std::vector<float> &campioni, int frequenza)
{
    const double partenza = rmsDb(campioni);
    if (campioni.empty() || partenza <= silenzioDb)
        return campioni;
    const float tetto = float(lineare(picco));
    double guadagno = lineare(livelloRms - partenza);
    std::vector<float> y;
    // The limiter takes some loudness away; a few rounds win it back within a tenth of a dB.
    for (int giro = 0; giro < 6; ++giro) {
        y.resize(campioni.size());
        for (std::size_t i = 0; i < campioni.size(); ++i)
            y[i] = float(campioni[i] * guadagno);
        const std::vector<float> g = guadagniLimitatore(y, frequenza, tetto);
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] = std::clamp(y[i] * g[i], -tetto, tetto);
        const double scarto = livelloRms - rmsDb(y);
        if (std::abs(scarto) < 0.05)
            break;
        guadagno *= lineare(scarto);
    }
    return y;
}

QByteArray codifica(const std::vector<float> &campioni, int frequenza)
{
    const quint32 datiByte = quint32(campioni.size() * 2);
    QByteArray b(44 + qsizetype(datiByte), Qt::Uninitialized);
    char *p = b.data();
    auto testo = [&](const char *t) { std::copy(t, t + 4, p), p += 4; };
    auto u32 = [&](quint32 v) { qToLittleEndian(v, p), p += 4; };
    auto u16 = [&](quint16 v) { qToLittleEndian(v, p), p += 2; };
    testo("RIFF");
    u32(36 + datiByte);
    testo("WAVE");
    testo("fmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(frequenza));
    u32(quint32(frequenza) * 2);
    u16(2);
    u16(16);
    testo("data");
    u32(datiByte);
    for (float c : campioni)
        u16(quint16(qint16(std::lround(std::clamp(c, -1.0f, 1.0f) * 32767.0f))));
    return b;
}

std::vector<float> campioniDi(const wav::Suono &suono)
{
    const int canali = std::max(1, suono.canali);
    const char *d = suono.dati.constData();
    std::size_t larghezza = 0;
    switch (suono.campione) {
    case wav::Campione::u8:
        larghezza = 1;
        break;
    case wav::Campione::s16:
        larghezza = 2;
        break;
    case wav::Campione::f32:
        larghezza = 4;
        break;
    default:
        return {};
    }
    const std::size_t fotogrammi = std::size_t(suono.dati.size()) / (larghezza * std::size_t(canali));
    std::vector<float> mono(fotogrammi);
    for (std::size_t f = 0; f < fotogrammi; ++f) {
        double somma = 0;
        for (int c = 0; c < canali; ++c) {
            const char *s = d + (f * std::size_t(canali) + std::size_t(c)) * larghezza;
            switch (suono.campione) {
            case wav::Campione::u8:
                somma += (quint8(*s) - 128) / 128.0;
                break;
            case wav::Campione::s16:
                somma += qFromLittleEndian<qint16>(s) / 32768.0;
                break;
            default:
                somma += qFromLittleEndian<float>(s);
                break;
            }
        }
        mono[f] = float(somma / canali);
    }
    return mono;
}

Risultato prepara(const std::vector<float> &campioni, int frequenza)
{
    Risultato r;
    const Tratto t = trovaVoce(campioni, frequenza);
    if (t.vuoto()) {
        r.errore = QStringLiteral(
            "Non ho sentito nessuna voce: parla vicino al microfono, un po' più forte, e riprova.");
        return r;
    }
    r.secondiTolti[0] = double(t.inizio) / frequenza;
    r.secondiTolti[1] = double(campioni.size() - t.fine) / frequenza;
    r.wav = codifica(livella(ritaglia(campioni, frequenza), frequenza), frequenza);
    return r;
}

} // namespace voce
