// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Comandi.h"

#include "editor/FinestraParole.h"

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

ComandoParola::ComandoParola(FinestraParole &f, bool aggiunta, int lettere, int indice, QString parola,
    QByteArray immagine, QUndoCommand *genitore)
    : QUndoCommand(genitore)
    , f(f)
    , aggiunta(aggiunta)
    , lettere(lettere)
    , indice(indice)
    , parola(std::move(parola))
    , immagine(std::move(immagine))
    , prima(letti(*f.modello, this->parola))
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
    f.modello->inserisci(lettere, indice, parola);
    if (aggiunta) {
        if (!immagine.isEmpty())
            f.modello->imposta(Compagno::immagine, parola, {true, immagine});
    } else {
        rimetti(*f.modello, parola, prima);
    }
    f.dimenticaIcona(parola);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}

void ComandoParola::leva()
{
    f.modello->togli(lettere, indice);
    if (aggiunta)
        rimetti(*f.modello, parola, prima);
    else
        liberaSeNonUsata(*f.modello, parola);
    f.dimenticaIcona(parola);
    f.mostraLista(lettere);
    f.seleziona(lettere, std::min(indice, int(f.modello->lista(lettere).parole.size()) - 1));
}

ComandoCompagno::ComandoCompagno(
    FinestraParole &f, Compagno c, QString parola, Contenuto nuovo, QUndoCommand *genitore)
    : QUndoCommand(genitore)
    , f(f)
    , c(c)
    , parola(std::move(parola))
    , nuovo(std::move(nuovo))
    , prima(f.modello->contenuto(c, this->parola))
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
    f.modello->imposta(c, parola, contenuto);
    f.dimenticaIcona(parola);
    // Only the lists that hold the word: every word of a list is looked up when it is shown.
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n) {
        const auto &parole = f.modello->lista(n).parole;
        if (std::any_of(parole.begin(), parole.end(),
                [&](const QString &p) { return p.compare(parola, Qt::CaseInsensitive) == 0; }))
            f.mostraLista(n);
    }
}

ComandoRinomina::ComandoRinomina(FinestraParole &f, int lettere, int indice, QString nuova)
    : f(f)
    , lettere(lettere)
    , indice(indice)
    , vecchia(f.modello->lista(lettere).parole.at(std::size_t(indice)))
    , nuova(std::move(nuova))
    , primaVecchia(letti(*f.modello, vecchia))
    , primaNuova(letti(*f.modello, this->nuova))
{
    setText(QStringLiteral("il nuovo nome di «%1» (%2)").arg(vecchia, this->nuova));
}

void ComandoRinomina::redo()
{
    f.modello->rinomina(lettere, indice, nuova);
    const bool libera = f.modello->raggiunta(vecchia) == 0;
    for (Compagno k : compagni) {
        const Contenuto &c = primaVecchia[std::size_t(k)];
        // A file that could not be read stays under its old name rather than be lost.
        if (!c.presente || !c.leggibile)
            continue;
        f.modello->imposta(k, nuova, c);
        if (libera)
            f.modello->imposta(k, vecchia, Contenuto {});
    }
    f.dimenticaIcona(vecchia);
    f.dimenticaIcona(nuova);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}

void ComandoRinomina::undo()
{
    f.modello->rinomina(lettere, indice, vecchia);
    rimetti(*f.modello, nuova, primaNuova);
    rimetti(*f.modello, vecchia, primaVecchia);
    f.dimenticaIcona(vecchia);
    f.dimenticaIcona(nuova);
    f.mostraLista(lettere);
    f.seleziona(lettere, indice);
}
