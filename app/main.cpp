// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Modulo1.h"
#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
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

    // The one seeding of the program's random sequence, from the clock.
    GeneratoreOrologio casuale;
    RiproduttoreQt riproduttore;
    MessaggiQt messaggi;
    UscitaQt uscita;
    Piattaforma piattaforma{casuale, riproduttore, messaggi, uscita, QApplication::applicationDirPath()};

    avvio(piattaforma);
    const int stato = QApplication::exec();
    chiudiFinestre();
    return stato;
}
