// SPDX-License-Identifier: GPL-3.0-or-later
// batticco-lavagna: starts the game as large as the screen it opens on allows, for a classroom's
// whiteboard. The game is the same program, scaled whole by Qt's own factor (QT_SCALE_FACTOR): this
// launcher measures the screen and the window manager's frame, then becomes the game.

#include "game/lettereDesign.h"
#include "ui/lavagna.h"
#include "ui/sessione.h"
#include "ui/twips.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace
{

// Variables a desktop hands to the program it starts, which Qt would take for this launcher.
constexpr const char *avvioDesktop[] = {"DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"};

} // namespace

int main(int argc, char *argv[])
{
    std::optional<QByteArray> consegne[std::size(avvioDesktop)];
    for (std::size_t i = 0; i < std::size(avvioDesktop); ++i) {
        if (qEnvironmentVariableIsSet(avvioDesktop[i]))
            consegne[i] = qgetenv(avvioDesktop[i]);
    }
    // The screen is measured as the game would see it without a factor.
    qunsetenv("QT_SCALE_FACTOR");
    sessione::preparaBus();
    int argcQt = 1;
    char *argvQt[] = {argv[0], nullptr};
    QApplication app(argcQt, argvQt);

    // The game to start: a teacher's copy names its own, else the one beside this launcher.
    const QString programma = argc > 1 ? QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath()
                                       : QCoreApplication::applicationDirPath() + QStringLiteral("/batticco");
    namespace d = lettereDesign;
    const QSize finestra = lavagna::dimensioneFinestra(twips::inPixel(d::larghezza, d::altezza), d::menu);
    const lavagna::Schermo schermo = lavagna::misura(finestra);
    const double f = lavagna::fattore(finestra, schermo);
    const QByteArray fattoreQt = QByteArray::number(f / schermo.rapporto, 'g', 6);
    std::fprintf(stderr,
        "batticco-lavagna: schermo %s, spazio %dx%d+%d+%d, cornice %d,%d,%d,%d%s, finestra %dx%d, fattore "
        "%.2f\n",
        qPrintable(schermo.nome), schermo.spazio.width(), schermo.spazio.height(), schermo.spazio.x(),
        schermo.spazio.y(), schermo.cornice.sinistra, schermo.cornice.sopra, schermo.cornice.destra,
        schermo.cornice.sotto, schermo.corniceMisurata ? "" : " (stimata)", finestra.width(),
        finestra.height(), f);

    for (std::size_t i = 0; i < std::size(avvioDesktop); ++i) {
        if (consegne[i])
            qputenv(avvioDesktop[i], *consegne[i]);
    }
    qputenv("QT_SCALE_FACTOR", fattoreQt);
    const QByteArray percorso = QFile::encodeName(programma);
    char *argomenti[] = {const_cast<char *>(percorso.constData()), nullptr};
    execv(percorso.constData(), argomenti);

    const int errore = errno;
    qunsetenv("QT_SCALE_FACTOR");
    sessione::preparaBus();
    QMessageBox::critical(nullptr, QStringLiteral("Batticco"),
        QStringLiteral("Non riesco ad avviare il gioco %1: %2")
            .arg(QDir::toNativeSeparators(programma), QString::fromLocal8Bit(std::strerror(errore))));
    return 1;
}
