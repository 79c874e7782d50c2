// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Comandi.h"

#include <QScopeGuard>

#include <algorithm>

namespace
{

Compagni letti(const CartellaParole &m, const QString &parola)
{
    Compagni c;
    for (Compagno k : compagni)
        c[std::size_t(k)] = m.contenuto(k, parola);
    return c;
}

void rimetti(CartellaParole &m, const QString &parola, const Compagni &c)
{
    for (Compagno k : compagni)
        m.imposta(k, parola, c[std::size_t(k)]);
}

// A word no list holds any more takes its companions with it at the next save.
void liberaSeNonUsata(CartellaParole &m, const QString &parola)
{
    if (m.raggiunta(parola) > 0)
        return;
    for (Compagno k : compagni)
        m.imposta(k, parola, Contenuto {});
}

} // namespace

ComandoParola::ComandoParola(VistaParole &f, bool aggiunta, int lettere, int indice, QString parola,
    QByteArray immagine, QUndoCommand *genitore)
    : QUndoCommand(genitore)
    , f(f)
    , aggiunta(aggiunta)
    , lettere(lettere)
    , indice(indice)
    , parola(std::move(parola))
    , immagine(std::move(immagine))
    , prima(letti(f.parole(), this->parola))
{
    // The undo action reads "Annulla l'aggiunta di «faro»".
    setText((aggiunta ? QStringLiteral("l'aggiunta di «%1»") : QStringLiteral("la rimozione di «%1»"))
                .arg(this->parola));
}

void ComandoParola::redo()
{
    aggiunta ? metti() : leva();
}

void ComandoParola::undo()
{
    aggiunta ? leva() : metti();
}

void ComandoParola::metti()
{
    f.parole().inserisci(lettere, indice, parola);
    if (aggiunta) {
        if (!immagine.isEmpty())
            f.parole().imposta(Compagno::immagine, parola, {true, immagine});
    } else {
        rimetti(f.parole(), parola, prima);
    }
    f.dimenticaIcona(parola);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}

void ComandoParola::leva()
{
    f.parole().togli(lettere, indice);
    if (aggiunta)
        rimetti(f.parole(), parola, prima);
    else
        liberaSeNonUsata(f.parole(), parola);
    f.dimenticaIcona(parola);
    f.mostraLista(lettere);
    f.seleziona(lettere, std::min(indice, int(f.parole().lista(lettere).parole.size()) - 1));
}

ComandoCompagno::ComandoCompagno(
    VistaParole &f, Compagno c, QString parola, Contenuto nuovo, QUndoCommand *genitore)
    : QUndoCommand(genitore)
    , f(f)
    , c(c)
    , parola(std::move(parola))
    , nuovo(std::move(nuovo))
    , prima(f.parole().contenuto(c, this->parola))
{
    const bool immagine = c == Compagno::immagine;
    setText((this->nuovo.presente
            ? (immagine ? QStringLiteral("la nuova immagine di «%1»") : QStringLiteral("la voce di «%1»"))
            : (immagine ? QStringLiteral("l'immagine tolta a «%1»") : QStringLiteral("la voce tolta a «%1»")))
                .arg(this->parola));
}

void ComandoCompagno::redo()
{
    imposta(nuovo);
}

void ComandoCompagno::undo()
{
    imposta(prima);
}

void ComandoCompagno::imposta(const Contenuto &contenuto)
{
    f.parole().imposta(c, parola, contenuto);
    f.dimenticaIcona(parola);
    // Only the lists that hold the word: every word of a list is looked up when it is shown.
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        const auto &parole = f.parole().lista(n).parole;
        if (std::any_of(parole.begin(), parole.end(),
                [&](const QString &p) { return p.compare(parola, Qt::CaseInsensitive) == 0; }))
            f.mostraLista(n);
    }
}

ComandoRinomina::ComandoRinomina(VistaParole &f, int lettere, int indice, QString nuova)
    : f(f)
    , lettere(lettere)
    , indice(indice)
    , vecchia(f.parole().lista(lettere).parole.at(std::size_t(indice)))
    , nuova(std::move(nuova))
    , primaVecchia(letti(f.parole(), vecchia))
    , primaNuova(letti(f.parole(), this->nuova))
{
    setText(QStringLiteral("il nuovo nome di «%1» (%2)").arg(vecchia, this->nuova));
}

void ComandoRinomina::redo()
{
    f.parole().rinomina(lettere, indice, nuova);
    const bool libera = f.parole().raggiunta(vecchia) == 0;
    for (Compagno k : compagni) {
        const Contenuto &c = primaVecchia[std::size_t(k)];
        // A file that could not be read stays under its old name rather than be lost.
        if (!c.presente || !c.leggibile)
            continue;
        f.parole().imposta(k, nuova, c);
        if (libera)
            f.parole().imposta(k, vecchia, Contenuto {});
    }
    f.dimenticaIcona(vecchia);
    f.dimenticaIcona(nuova);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}

void ComandoRinomina::undo()
{
    f.parole().rinomina(lettere, indice, vecchia);
    rimetti(f.parole(), nuova, primaNuova);
    rimetti(f.parole(), vecchia, primaVecchia);
    f.dimenticaIcona(vecchia);
    f.dimenticaIcona(nuova);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}

ComandoArrivo::ComandoArrivo(VistaParole &f, const unione::Piano &piano, const QString &da)
    : QUndoCommand(QStringLiteral("l'arrivo delle parole di %1").arg(da))
    , f(f)
{
    // Each list's new words go after its last one, in the other copy's order.
    std::array<int, CartellaParole::numeroListe> aggiunte {};
    for (const unione::Nuova &n : piano.nuove) {
        const int indice = int(f.parole().lista(n.lettere).parole.size())
            + aggiunte[std::size_t(n.lettere - CartellaParole::primaLunghezza)]++;
        new ComandoParola(f, true, n.lettere, indice, n.parola, n.immagine.byte, this);
        if (n.voce.presente)
            new ComandoCompagno(f, Compagno::voce, n.parola, n.voce, this);
    }
    for (const auto *gruppo : {&piano.mancanti, &piano.diverse}) {
        for (const unione::Compagnia &c : *gruppo)
            new ComandoCompagno(f, c.c, c.parola, c.loro, this);
    }
}

void ComandoArrivo::redo()
{
    f.rimanda(true);
    const auto mostra = qScopeGuard([this] { f.rimanda(false); });
    QUndoCommand::redo();
}

void ComandoArrivo::undo()
{
    f.rimanda(true);
    const auto mostra = qScopeGuard([this] { f.rimanda(false); });
    QUndoCommand::undo();
}
