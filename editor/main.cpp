// SPDX-License-Identifier: GPL-3.0-or-later
// batticco-parole: the word lists and pictures of a Batticco folder, for teachers and parents.
// Without arguments it opens the user's own copy (~/Batticco) when there is one, else the installed
// game's folder, read only, with the offer to make the copy.

#include "editor/CopiaPersonale.h"
#include "editor/Domande.h"
#include "editor/FinestraParole.h"
#include "ui/sessione.h"
#include "ui/traduzioni.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

int main(int argc, char *argv[])
{
    // The game's own rule: D-Bus goes off only when no session bus can be found, so a screen
    // reader keeps the editor on desktops whose bus is at $XDG_RUNTIME_DIR/bus.
    sessione::preparaBus();
    QApplication app(argc, argv);
    traduzioni::caricaQt(app);
    QApplication::setApplicationName(QStringLiteral("batticco-parole"));
    QApplication::setApplicationDisplayName(QStringLiteral("Parole di Batticco"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.batticco.Parole"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icona.png")));

    QCommandLineParser opzioni;
    opzioni.setApplicationDescription(QStringLiteral("Le liste di parole e le immagini di Batticco."));
    opzioni.addHelpOption();
    opzioni.addVersionOption();
    opzioni.addPositionalArgument(
        QStringLiteral("cartella"), QStringLiteral("La cartella di Batticco da aprire."));
    opzioni.process(app);

    const QString installato = copiapersonale::giocoInstallato(QApplication::applicationDirPath());
    DomandeQt domande(nullptr);
    FinestraParole finestra(domande, installato, QApplication::applicationFilePath());

    QString cartella;
    if (!opzioni.positionalArguments().isEmpty())
        cartella = opzioni.positionalArguments().first();
    else if (copiapersonale::eCartellaGioco(copiapersonale::cartellaPredefinita()))
        cartella = copiapersonale::cartellaPredefinita();
    else
        cartella = installato;
    if (!cartella.isEmpty())
        finestra.apri(QDir(QDir::currentPath()).absoluteFilePath(cartella));
    finestra.show();
    return QApplication::exec();
}
