// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Modulo1.h"
#include "ui/casuale.h"
#include "ui/errori.h"
#include "ui/messaggi.h"
#include "ui/percorsi.h"
#include "ui/piattaforma.h"
#include "ui/sessione.h"
#include "ui/suoni.h"
#include "ui/tastiTenuti.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

#include <malloc.h>

int main(int argc, char *argv[])
{
    // One malloc arena for the whole program: the sound thread reads a few kilobytes of WAV per
    // sound, and an arena of its own would keep megabytes for that alone.
    mallopt(M_ARENA_MAX, 1);
    sessione::preparaBus();
    // The game has no command line: Qt is given the program's name only, so that none of Qt's own
    // options (-reverse, -style, -platform...) changes the game.
    int argcQt = argc > 0 ? 1 : 0;
    char *argvQt[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    std::optional<sessione::GuardiaSchermo> guardia(std::in_place);
    QApplication app(argcQt, argvQt);
    guardia.reset();
    TastiTenuti::installa();
    QApplication::setApplicationName(QStringLiteral("batticco"));
    // The version of the program file (project 1.0.0.0), and the launcher its windows belong to.
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.batticco.Batticco"));

    // The one seeding of the program's random sequence, from the clock.
    GeneratoreOrologio casuale;
    RiproduttorePulse riproduttore;
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
    // A teacher's copy, with its own menu entry, shows in the dock as that entry, not as the installed game.
    const QString copia = percorsi::voceCopia(cartellaDati);
    if (QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + u'/'
            + copia + QStringLiteral(".desktop"))) {
        QApplication::setApplicationName(copia);
        QGuiApplication::setDesktopFileName(copia);
    }
    Piattaforma piattaforma {casuale, riproduttore, messaggi, uscita, cartellaDati};

    avvio(piattaforma);
    const int stato = QApplication::exec();
    chiudiFinestre();
    return stato;
}
