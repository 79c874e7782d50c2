// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Modulo1.h"
#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
#include "ui/percorsi.h"
#include "ui/piattaforma.h"
#include "ui/suoni.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Outside a desktop session there is no session bus, and D-Bus would start one of its own and
    // write its address under the home folder. The game needs no bus: leave it without one.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("batticco"));
    // The version of the program file (project 1.0.0.0), and the launcher its windows belong to.
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.batticco.Batticco"));

    // The one seeding of the program's random sequence, from the clock.
    GeneratoreOrologio casuale;
    RiproduttoreQt riproduttore;
    MessaggiQt messaggi;
    UscitaQt uscita;
    // The data folder is the program's own, whatever bytes its name holds.
    QString cartellaDati;
    try {
        cartellaDati = percorsi::cartellaProgramma();
    } catch (const Errore &e) {
        riportaErrore(messaggi, uscita, e.messaggio());
        return 1;
    }
    Piattaforma piattaforma{casuale, riproduttore, messaggi, uscita, cartellaDati};

    avvio(piattaforma);
    const int stato = QApplication::exec();
    chiudiFinestre();
    return stato;
}
