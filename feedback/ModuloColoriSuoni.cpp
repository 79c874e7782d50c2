// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/ModuloColoriSuoni.h"

#include "ui/casuale.h"
#include "ui/percorsi.h"
#include "ui/piattaforma.h"
#include "ui/suoni.h"

quint32 ModuloColoriSuoni::coloreCasuale()
{
    return tavolozza[std::size_t(indiceCasuale(p.casuale.prossimo(), int(tavolozza.size())))];
}

void ModuloColoriSuoni::suonaSi()
{
    suona(suoniSi[std::size_t(indiceCasuale(p.casuale.prossimo(), int(suoniSi.size())))]);
}

void ModuloColoriSuoni::suonaNo()
{
    suona(suonoNo);
}

void ModuloColoriSuoni::diciParola(QStringView parola)
{
    const QString voce = percorsoVoce(p.cartellaDati, parola);
    if (!voce.isEmpty() && suonoGiocabile(voce))
        p.riproduttore.suonaSeGiocabile(voce);
}

void ModuloColoriSuoni::suona(const char16_t *relativo)
{
    p.riproduttore.suona(percorsi::dati(p.cartellaDati, QString::fromUtf16(relativo)));
}
