// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/errori.h"

#include "ui/messaggi.h"

#include <QApplication>
#include <QWidget>

void UscitaQt::termina(int stato)
{
    // Nothing is kept beyond the run: hide every window at once and leave every event loop.
    const auto finestre = QApplication::topLevelWidgets();
    for (QWidget *w : finestre)
        w->hide();
    QCoreApplication::exit(stato);
}

void riportaErrore(Messaggi &messaggi, Uscita &uscita, const QString &messaggio)
{
    messaggi.mostra(messaggio, stile::iconaErrore);
    uscita.termina(1);
}
