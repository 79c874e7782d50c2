// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/ScritturaLista.h"

#include "base/errore.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringEncoder>

#include <limits>
#include <optional>

namespace listaparole
{

namespace
{

bool blank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The reader's own Windows-1252 mapping, turned around: each high byte as the reader decodes it.
std::optional<QByteArray> inCp1252(const QString &testo)
{
    static const QHash<char16_t, char> alti = [] {
        QHash<char16_t, char> h;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = decodifica(QByteArray(1, char(b)));
            if (c.size() == 1)
                h.insert(c[0].unicode(), char(b));
        }
        return h;
    }();
    QByteArray byte;
    byte.reserve(testo.size());
    for (QChar c : testo) {
        if (c.unicode() < 0x80) {
            byte += char(c.unicode());
            continue;
        }
        const auto b = alti.constFind(c.unicode());
        if (b == alti.constEnd())
            return std::nullopt;
        byte += *b;
    }
    return byte;
}

std::optional<QByteArray> codifica(const QString &testo, Codifica c)
{
    switch (c) {
    case Codifica::windows1252:
        return inCp1252(testo);
    case Codifica::utf16le:
    case Codifica::utf16be: {
        QStringEncoder e(c == Codifica::utf16le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
            QStringEncoder::Flag::WriteBom);
        return QByteArray(e.encode(testo));
    }
    case Codifica::utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + testo.toUtf8();
    case Codifica::utf8:
        return testo.toUtf8();
    }
    return std::nullopt;
}

// The word as one field: quoted when a comma, a line end or blanks at its ends would change it.
QString campo(const QString &parola)
{
    const bool quotare = parola.contains(u',') || parola.contains(u'\r') || parola.contains(u'\n')
        || (!parola.isEmpty() && (blank(parola.front()) || blank(parola.back()) || parola.front() == u'"'));
    return quotare ? u'"' + parola + u'"' : parola;
}

QString testo(const std::vector<QString> &parole, const Formato &f)
{
    QString t;
    for (std::size_t i = 0; i < parole.size(); ++i) {
        t += campo(parole[i]);
        // An empty last word only exists as an empty line, which needs its line end.
        const bool ultima = i + 1 == parole.size();
        if (!ultima || f.fineRigaFinale || parole[i].isEmpty())
            t += f.fineRiga;
    }
    return t;
}

} // namespace

Formato formato(const QByteArray &byte)
{
    Formato f;
    f.codifica = codifica(byte);
    const QString t = decodifica(byte);
    const qsizetype fine = t.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (fine >= 0) {
        if (t[fine] == u'\n')
            f.fineRiga = QStringLiteral("\n");
        else if (fine + 1 < t.size() && t[fine + 1] == u'\n')
            f.fineRiga = QStringLiteral("\r\n");
        else
            f.fineRiga = QStringLiteral("\r");
    }
    f.fineRigaFinale = t.isEmpty() || t.endsWith(u'\r') || t.endsWith(u'\n');
    return f;
}

std::vector<QString> tutteLeParole(const QString &testo)
{
    std::vector<QString> parole;
    for (Campo &c : leggiCampi(testo, std::numeric_limits<std::size_t>::max()))
        parole.push_back(std::move(c.parola));
    return parole;
}

QByteArray scriviLista(const std::vector<QString> &parole, const Formato &voluto, Formato *formatoUsato)
{
    // The list's own way first; then with a final line end (a last word ending in the DOS end byte
    // needs one); then UTF-8.
    std::vector<Formato> prove {voluto};
    Formato conFine = voluto;
    conFine.fineRigaFinale = true;
    prove.push_back(conFine);
    Formato utf8 = conFine;
    utf8.codifica = Codifica::utf8;
    prove.push_back(utf8);
    for (const Formato &f : prove) {
        const std::optional<QByteArray> byte = codifica(testo(parole, f), f.codifica);
        if (byte && tutteLeParole(decodifica(*byte)) == parole) {
            if (formatoUsato)
                *formatoUsato = f;
            return *byte;
        }
    }
    throw Errore(
        QStringLiteral("Una parola della lista non si può scrivere in modo che il gioco la rilegga uguale"));
}

} // namespace listaparole
