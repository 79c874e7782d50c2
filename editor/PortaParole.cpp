// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PortaParole.h"

#include "base/errore.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace unione
{

namespace
{

QString nativo(const QString &p)
{
    return QDir::toNativeSeparators(p);
}

} // namespace

Arrivo chiediArrivo(Domande &domande, VistaParole &vista, const QString &altra)
{
    const QString titolo = QStringLiteral("Porta le parole");
    if (QFileInfo(altra).canonicalFilePath() == QFileInfo(vista.parole().percorso()).canonicalFilePath()) {
        domande.avvisa(
            titolo, QStringLiteral("%1 è la cartella aperta: scegli l'altra copia.").arg(nativo(altra)));
        return {};
    }
    std::unique_ptr<CartellaParole> loro;
    try {
        if (!QFileInfo(altra).isDir())
            throw Errore(QStringLiteral("La cartella %1 non c'è.").arg(nativo(altra)));
        loro = std::make_unique<CartellaParole>(altra);
    } catch (const Errore &e) {
        domande.avvisa(titolo, e.messaggio());
        return {};
    }
    unione::Piano piano = unione::piano(vista.parole(), *loro);
    int tenute = 0;
    if (!piano.diverse.empty()) {
        const int r = domande.scegli(QStringLiteral("Parole con un'altra immagine o voce"),
            QStringLiteral(
                "Queste parole ci sono già qui, ma in %1 hanno un'altra immagine o un'altra voce: "
                "%2.\nQuali tenere? Quelle che non tieni restano dove sono, e puoi sempre annullare "
                "con Ctrl+Z.")
                .arg(nativo(altra), unione::elenco(piano.diverse)),
            {QStringLiteral("&Tieni quelle di questo computer"),
                QStringLiteral("&Prendi quelle dell'altra copia")});
        if (r < 0)
            return {};
        if (r == 0) {
            tenute = int(piano.diverse.size());
            piano.diverse.clear();
        }
    }
    const QString scartate = piano.saltate.isEmpty()
        ? QString()
        : QStringLiteral("\nNon arrivano:\n") + piano.saltate.mid(0, 12).join(u'\n')
            + (piano.saltate.size() > 12 ? QStringLiteral("\n… e altre %1.").arg(piano.saltate.size() - 12)
                                         : QString());
    if (piano.vuoto()) {
        domande.avvisa(titolo,
            QStringLiteral("Da %1 non c'è niente da portare: le sue parole ci sono già qui.")
                    .arg(nativo(altra))
                + scartate);
        return {};
    }
    Arrivo arrivo;
    // One step: Ctrl+Z takes back everything that came, and saving writes each file whole.
    arrivo.passo = std::make_unique<ComandoArrivo>(vista, piano, nativo(altra));
    arrivo.notizia = unione::riassunto(piano, tenute, nativo(altra))
        + QStringLiteral(" Salva per tenerle; Ctrl+Z le toglie. ");
    if (!scartate.isEmpty())
        arrivo.fuori = QStringLiteral("Le parole di %1 sono arrivate.").arg(nativo(altra)) + scartate;
    return arrivo;
}

} // namespace unione
