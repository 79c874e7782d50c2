// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Unione.h"

#include "game/ListaParole.h"

#include <QSet>

namespace unione
{

namespace
{

void confronta(const CartellaParole &qui, const QString &nostra, const CartellaParole &altra,
    const QString &parola, Piano &p)
{
    bool qualcosa = false;
    for (Compagno c : compagni) {
        const Contenuto loro = altra.contenuto(c, parola);
        // A file there that cannot be read brings nothing; what is here stays.
        if (!loro.presente || !loro.leggibile)
            continue;
        const Contenuto nostro = qui.contenuto(c, nostra);
        if (!nostro.presente) {
            p.mancanti.push_back({nostra, c, loro});
            qualcosa = true;
        } else if (nostro.leggibile && nostro.byte != loro.byte) {
            p.diverse.push_back({nostra, c, loro});
            qualcosa = true;
        }
    }
    if (!qualcosa)
        ++p.uguali;
}

} // namespace

Piano piano(const CartellaParole &qui, const CartellaParole &altra)
{
    Piano p;
    QSet<QString> viste; // a word the other copy holds twice comes once
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        const ListaInCartella &loro = altra.lista(n);
        if (!loro.errore.isEmpty()) {
            p.saltate
                << QStringLiteral("lista%1.txt: il gioco non la legge, nessuna sua parola arriva").arg(n);
            continue;
        }
        if (loro.parole.empty())
            continue;
        if (!qui.lista(n).errore.isEmpty()) {
            p.saltate << QStringLiteral("lista%1.txt di questo computer: il gioco non la legge, le parole di "
                                        "%1 lettere non arrivano")
                             .arg(n);
            continue;
        }
        std::size_t posto = qui.lista(n).parole.size();
        for (const QString &parola : loro.parole) {
            if (parola.isEmpty() || viste.contains(parola.toLower()))
                continue;
            viste.insert(parola.toLower());
            const auto [dove, indice] = qui.trova(parola);
            if (indice >= 0) {
                confronta(qui, qui.lista(dove).parole.at(std::size_t(indice)), altra, parola, p);
                continue;
            }
            QString problema = qui.problemaParolaNuova(n, parola);
            if (problema.isEmpty() && posto >= std::size_t(listaparole::massimoParole))
                problema
                    = QStringLiteral("la lista di %1 lettere ha già %2 parole, il massimo che il gioco legge")
                          .arg(n)
                          .arg(listaparole::massimoParole);
            const Contenuto immagine = altra.contenuto(Compagno::immagine, parola);
            // Without its picture the game would stop when the word came up.
            if (problema.isEmpty() && (!immagine.presente || !immagine.leggibile))
                problema = QStringLiteral("non ha l'immagine");
            if (!problema.isEmpty()) {
                p.saltate << QStringLiteral("«%1»: %2").arg(parola, problema);
                continue;
            }
            Contenuto voce = altra.contenuto(Compagno::voce, parola);
            if (!voce.leggibile)
                voce = {};
            p.nuove.push_back({n, parola, immagine, voce});
            ++posto;
        }
    }
    return p;
}

QString elenco(const std::vector<Compagnia> &diverse)
{
    QStringList detti;
    for (const Compagnia &d : diverse)
        detti << QStringLiteral("«%1» (%2)")
                     .arg(d.parola,
                         d.c == Compagno::immagine ? QStringLiteral("immagine") : QStringLiteral("voce"));
    return detti.join(QStringLiteral(", "));
}

QString riassunto(const Piano &piano, int tenute, const QString &da)
{
    const auto quante
        = [](std::size_t n, const QString &una, const QString &tante) { return n == 1 ? una : tante.arg(n); };
    QStringList arrivate;
    if (!piano.nuove.empty())
        arrivate << quante(
            piano.nuove.size(), QStringLiteral("1 parola nuova"), QStringLiteral("%1 parole nuove"));
    if (const std::size_t c = piano.mancanti.size() + piano.diverse.size())
        arrivate << quante(c, QStringLiteral("1 immagine o voce"), QStringLiteral("%1 immagini o voci"));
    QString testo = QStringLiteral("Da %1 %2 %3.")
                        .arg(da,
                            piano.nuove.size() + piano.mancanti.size() + piano.diverse.size() == 1
                                ? QStringLiteral("è arrivata")
                                : QStringLiteral("sono arrivate"),
                            arrivate.join(QStringLiteral(" e ")));
    if (const int gia = piano.uguali + tenute)
        testo += u' '
            + quante(std::size_t(gia), QStringLiteral("1 parola c'era già."),
                QStringLiteral("%1 parole c'erano già."));
    return testo;
}

} // namespace unione
