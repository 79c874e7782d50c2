// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Modulo1.h"

#include "app/FormAvvio.h"
#include "ui/messaggi.h"
#include "ui/piattaforma.h"
#include "ui/posizione.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

void avvio(Piattaforma &piattaforma)
{
    auto *finestra = new FormAvvio(piattaforma);
    finestra->setAttribute(Qt::WA_DeleteOnClose);
    finestra->Form_Load();
    posizione::centraSulloSchermo(finestra);
    finestra->show();
}

void chiudiFinestre()
{
    QList<QPointer<QWidget>> finestre;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget())
            finestre << w;
    }
    for (const QPointer<QWidget> &w : finestre)
        delete w.data();
}

QString testoInformazioni()
{
    return QStringLiteral("Batticco  \r\n"
                          " ----------------------- \r\n"
                          "https://batticco.example.org\r\n"
                          "mail: batticco@example.org");
}

void mostraInformazioni(Messaggi &messaggi)
{
    messaggi.mostra(testoInformazioni(), stile::iconaInformazione, titoloApplicazione);
}

qint16 tastoInMaiuscolo(qint16 &carattere)
{
    if (carattere >= 97 && carattere <= 122)
        carattere = qint16(carattere - 32);
    return carattere;
}

qint16 tastoInMinuscolo(qint16 &carattere)
{
    if (carattere >= 65 && carattere <= 90)
        carattere = qint16(carattere + 32);
    return carattere;
}
