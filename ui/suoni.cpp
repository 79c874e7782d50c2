// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/suoni.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

bool suonoGiocabile(const QString &percorso)
{
    const QFileInfo file(percorso);
    return file.isFile() && file.size() <= massimoByteSuono;
}

RiproduttoreQt::RiproduttoreQt() = default;
RiproduttoreQt::~RiproduttoreQt() = default;

QSoundEffect *RiproduttoreQt::effetto(const QString &percorso)
{
    auto it = effetti.constFind(percorso);
    if (it != effetti.constEnd())
        return it.value();
    // Created on first use: the audio back end is not needed for the first window to show.
    auto *e = new QSoundEffect(&proprietario);
    if (suonoGiocabile(percorso))
        e->setSource(QUrl::fromLocalFile(percorso));
    effetti.insert(percorso, e);
    return e;
}

void RiproduttoreQt::suona(const QString &percorso)
{
    if (inCorso)
        inCorso->stop();
    QSoundEffect *e = effetto(percorso);
    inCorso = e;
    if (!e->source().isEmpty())
        e->play();
}
