// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/errori.h"

#include "ui/messaggi.h"

#include <QApplication>
#include <QDebug>
#include <QWidget>

void UscitaQt::termina(int stato)
{
    // Nothing is kept beyond the run: hide every window at once and leave every event loop.
    const auto finestre = QApplication::topLevelWidgets();
    for (QWidget *w : finestre)
        w->hide();
    QCoreApplication::exit(stato);
}

void riportaErrore(Messaggi &messaggi, Uscita &uscita, const QString &testo)
{
    // A message is a line or two. One built around a hostile name (a "word" of megabytes) keeps its
    // beginning and its end, which name the file, and loses its middle.
    const QString messaggio = motivi::visibile(motivi::accorciato(testo, 400, 200));
    // Also on standard error, before the box waits for its answer: whoever started the program
    // (a script, a school's launcher, a test) can read what went wrong.
    qWarning().noquote() << messaggio;
    messaggi.mostra(messaggio, stile::iconaErrore);
    uscita.termina(1);
}
