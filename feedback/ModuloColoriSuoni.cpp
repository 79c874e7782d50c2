// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedback/ModuloColoriSuoni.h"

#include "ui/percorsi.h"
#include "ui/piattaforma.h"
#include "ui/suoni.h"

#include <cmath>

quint32 ModuloColoriSuoni::coloreCasuale()
{
    const double r = p.casuale.prossimo();
    const int k = int(std::floor(r * 18.0) + 1.0);
    return tavolozza[std::size_t(k - 1)];
}

void ModuloColoriSuoni::suonaSi()
{
    const double r = p.casuale.prossimo();
    const int k = int(std::floor(r * 4.0) + 1.0);
    suona(suoniSi[std::size_t(k - 1)]);
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
