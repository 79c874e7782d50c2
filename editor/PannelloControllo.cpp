// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PannelloControllo.h"

#include "ui/errori.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

QString nativo(const QString &p)
{
    return QDir::toNativeSeparators(p);
}

// A finding as a teacher reads it: the line of a list said in words, the folder by its path.
QString detto(const verifica::Problema &p, const QString &cartella)
{
    const QString messaggio
        = p.gravita == verifica::Gravita::nota ? QStringLiteral("nota: ") + p.messaggio : p.messaggio;
    if (p.file == u'.' || p.file.isEmpty())
        return QStringLiteral("%1: %2").arg(nativo(cartella), messaggio);
    if (p.riga > 0 && p.file == p.lista)
        return QStringLiteral("%1, riga %2: %3").arg(p.file).arg(p.riga).arg(messaggio);
    if (p.riga > 0 && !p.parola.isEmpty())
        return QStringLiteral("%1: %2 (%3, riga %4)").arg(p.file, messaggio, p.lista).arg(p.riga);
    return QStringLiteral("%1: %2").arg(p.file, messaggio);
}

} // namespace

PannelloControllo::PannelloControllo(QWidget *genitore)
    : QWidget(genitore)
{
    auto *colonnaProblemi = new QVBoxLayout(this);
    riepilogo = new QLabel(this);
    riepilogo->setWordWrap(true);
    riepilogo->setAccessibleName(QStringLiteral("Esito del controllo"));
    problemi = new QListWidget(this);
    problemi->setAccessibleName(QStringLiteral("Problemi trovati"));
    problemi->setWordWrap(true);
    colonnaProblemi->addWidget(riepilogo);
    colonnaProblemi->addWidget(problemi, 1);
}

struct PannelloControllo::Lavoro {
    int numero = 0; // of the checks started
    int richiesta = 0;
    QString percorso;
    verifica::Esito esito;
    QString errore; // what stopped the check, when it failed
    std::unique_ptr<QThread> filo;
};

PannelloControllo::~PannelloControllo()
{
    if (lavoro)
        lavoro->filo->wait();
}

void PannelloControllo::controlla(const CartellaParole *c, bool s)
{
    cartella = c;
    salvata = s;
    ++richiesta;
    if (!cartella || cartella->percorso() != mostrata) {
        problemi->clear();
        dovePortano.clear();
        riepilogo->clear();
        mostrata.clear();
    }
    if (!cartella)
        return;
    const QString testo = QStringLiteral("Controllo della cartella in corso…");
    riepilogo->setText(testo);
    riepilogo->setAccessibleDescription(testo);
    // One check at a time: the one under way, once ended, starts the one asked for last.
    if (!lavoro)
        avvia();
}

void PannelloControllo::avvia()
{
    static int avviati = 0;
    lavoro = std::make_unique<Lavoro>();
    lavoro->numero = ++avviati;
    lavoro->richiesta = richiesta;
    lavoro->percorso = cartella->percorso();
    Lavoro *l = lavoro.get();
    l->filo.reset(QThread::create([l] {
        try {
            l->esito = verifica::controlla(l->percorso);
        } catch (const Errore &e) {
            l->errore = e.messaggio();
        } catch (const std::exception &e) {
            l->errore = QString::fromLocal8Bit(e.what());
        }
    }));
    connect(l->filo.get(), &QThread::finished, this, [this, n = l->numero] { finito(n); });
    l->filo->start(QThread::LowPriority);
}

void PannelloControllo::attendi()
{
    while (lavoro) {
        lavoro->filo->wait();
        finito(lavoro->numero);
    }
}

void PannelloControllo::finito(int numero)
{
    // The signal of a check already taken in by attendi() comes after it.
    if (!lavoro || lavoro->numero != numero)
        return;
    std::unique_ptr<Lavoro> fatto = std::move(lavoro);
    fatto->filo->wait();
    if (!cartella)
        return;
    // The folder was opened or saved again while it ran: its findings are of files gone by.
    if (fatto->richiesta != richiesta || fatto->percorso != cartella->percorso()) {
        avvia();
        return;
    }
    if (!fatto->errore.isEmpty()) {
        problemi->clear();
        dovePortano.clear();
        const QString r = QStringLiteral("Il controllo non è riuscito: %1").arg(fatto->errore);
        riepilogo->setText(r);
        riepilogo->setAccessibleDescription(r);
        mostrata = cartella->percorso();
        return;
    }
    mostra(fatto->esito);
}

void PannelloControllo::mostra(const verifica::Esito &esito)
{
    problemi->clear();
    dovePortano.clear();
    mostrata = cartella->percorso();
    for (const verifica::Problema &p : esito.risultati) {
        // The finding names its list and the word's line there, as the lists were last read.
        int indice = -1;
        if (p.lettere >= CartellaParole::primaLunghezza
            && p.lettere < CartellaParole::primaLunghezza + CartellaParole::numeroListe && p.riga > 0) {
            const std::vector<int> &righe = cartella->lista(p.lettere).righe;
            const auto it = std::find(righe.begin(), righe.end(), p.riga);
            if (it != righe.end())
                indice = int(it - righe.begin());
        }
        dovePortano.emplace_back(indice >= 0 ? p.lettere : 0, indice);
        auto *voce = new QListWidgetItem(detto(p, cartella->percorso()), problemi);
        if (indice >= 0)
            voce->setToolTip(QStringLiteral("Clic per vedere la parola"));
    }
    QString r = verifica::riepilogo(esito);
    if (!salvata)
        r += QStringLiteral(" (Controllo dei file salvati: salva per controllare le ultime modifiche.)");
    riepilogo->setText(r);
    riepilogo->setAccessibleDescription(r);
}

std::pair<int, int> PannelloControllo::dovePorta(int riga) const
{
    if (riga < 0 || riga >= int(dovePortano.size()))
        return {0, -1};
    return dovePortano[std::size_t(riga)];
}
