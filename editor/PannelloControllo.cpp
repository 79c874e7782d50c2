// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PannelloControllo.h"

#include "game/VerificaDati.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
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

void PannelloControllo::controlla(const CartellaParole *cartella, bool salvata)
{
    problemi->clear();
    dovePortano.clear();
    if (!cartella)
        return;
    const verifica::Esito esito = verifica::controlla(cartella->percorso());
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
