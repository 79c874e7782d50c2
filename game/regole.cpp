// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/regole.h"

#include "ui/percorsi.h"

#include <cmath>
#include <limits>

namespace regole
{

QString testoConteggio(qint16 valore)
{
    const QString cifre = QString::number(valore);
    return valore >= 0 ? u' ' + cifre : cifre;
}

qint16 contatorePiuUno(qint16 valore)
{
    return valore < std::numeric_limits<qint16>::max() ? qint16(valore + 1) : valore;
}

QString letteraAttesa(QStringView parola, qint16 posizione)
{
    if (posizione < 0 || posizione >= parola.size())
        return QString();
    return parola.mid(posizione, 1).toString();
}

qint16 sceltaParola(double r, qint16 numParole)
{
    const double k = std::floor(r * double(numParole) + 1.0);
    // r is below 1, so k stays within 1..numParole; the clamp only guards a generator gone wrong.
    if (k < 1.0)
        return 1;
    if (numParole >= 1 && k > double(numParole))
        return numParole;
    return qint16(k);
}

namespace
{

template <typename Mappa>
QString perCarattere(QStringView testo, Mappa mappa)
{
    QString risultato;
    risultato.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        char32_t c = testo[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < testo.size() && testo[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(testo[i].unicode(), testo[i + 1].unicode());
            ++i;
        }
        const char32_t m = mappa(c);
        // A mapping that would change the number of UTF-16 units keeps the character as it is.
        if (QChar::requiresSurrogates(c) == QChar::requiresSurrogates(m)) {
            risultato.append(QStringView(QChar::fromUcs4(m)));
        } else {
            risultato.append(QStringView(QChar::fromUcs4(c)));
        }
    }
    return risultato;
}

} // namespace

QString inMaiuscolo(QStringView testo)
{
    return perCarattere(testo, [](char32_t c) { return QChar::toUpper(c); });
}

QString inMinuscolo(QStringView testo)
{
    return perCarattere(testo, [](char32_t c) { return QChar::toLower(c); });
}

std::vector<DifettoParola> difettiParola(QStringView parola, int lettere)
{
    if (parola.isEmpty())
        return {{Difetto::vuota, {}}};
    // A "word" of megabytes in quotes is said once, without looking at each of its characters.
    if (parola.size() > percorsi::massimoNome)
        return {{Difetto::troppoLunga, {}}};

    bool spazio = false;
    bool controllo = false;
    QList<char32_t> mancanti;
    for (char32_t c : parola.toUcs4()) {
        const bool lettera = (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
        if (QChar::isSpace(c))
            spazio = true;
        else if (!lettera && !mancanti.contains(c))
            mancanti << c;
        controllo = controllo || QChar::category(c) == QChar::Other_Control;
    }
    std::vector<DifettoParola> difetti;
    if (spazio)
        difetti.push_back({Difetto::spazio, {}});
    if (!mancanti.isEmpty())
        difetti.push_back({Difetto::fuoriTastiera, mancanti});
    const QString testo = parola.toString();
    if (testo != testo.normalized(QString::NormalizationForm_C))
        difetti.push_back({Difetto::scomposta, {}});
    // The game compares letter by letter, one UTF-16 unit at a time, against this many boxes.
    if (parola.size() != lettere)
        difetti.push_back({Difetto::lunghezza, {}});
    if (controllo || !percorsi::nomeSicuro(senzaSpaziIniziali(parola)))
        difetti.push_back({Difetto::nomeFile, {}});
    return difetti;
}

} // namespace regole
