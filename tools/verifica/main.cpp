// SPDX-License-Identifier: GPL-3.0-or-later
// batticco-verifica: checks a data folder of the game (word lists, pictures, sounds) and prints one
// line per problem, so a teacher can fix their own lists before a child meets them.

#include "game/VerificaDati.h"
#include "ui/percorsi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>

#include <cstdio>

namespace
{

constexpr int esitoProblemi = 1;
constexpr int esitoUso = 2;

void scrivi(std::FILE *dove, const QString &riga)
{
    std::fputs(riga.toLocal8Bit().constData(), dove);
    std::fputc('\n', dove);
}

QString uso(const QString &nome)
{
    return QStringLiteral(
        "Uso: %1 [cartella]\n"
        "Controlla la cartella dei dati di Batticco (lista3.txt ... lista6.txt, jpg/, suoni/, voci/)\n"
        "e scrive una riga per ogni problema, nella forma \"file:riga: messaggio\";\n"
        "le righe \"nota:\" dicono ciò che funziona ma conviene sapere.\n"
        "Senza cartella controlla la cartella corrente.\n"
        "Esce con 0 se non ci sono problemi (anche con note), 1 se ce n'è almeno uno,\n"
        "2 se gli argomenti sono sbagliati.")
        .arg(nome);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A broken picture is reported once, in the checker's own words; the decoder's log would only
    // repeat it out of order.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    const QString nome = QStringLiteral("batticco-verifica");

    // The arguments as bytes: a folder whose name is not valid in the locale's encoding (a Latin-1
    // name from an old USB stick) must still be found, and Qt's text would have lost its bytes.
    QList<QByteArray> argomenti;
    for (int i = 1; i < argc; ++i)
        argomenti << QByteArray(argv[i]);
    if (argomenti.contains("--help") || argomenti.contains("-h")) {
        scrivi(stdout, uso(nome));
        return 0;
    }
    // "--" ends the options, so a folder whose name starts with a dash can still be given.
    QList<QByteArray> cartelle;
    bool opzioni = true;
    for (const QByteArray &a : argomenti) {
        if (opzioni && a == "--") {
            opzioni = false;
        } else if (opzioni && a.startsWith('-') && a != "-") {
            scrivi(stderr, QStringLiteral("%1: opzione sconosciuta: %2").arg(nome, QFile::decodeName(a)));
            scrivi(stderr, uso(nome));
            return esitoUso;
        } else {
            cartelle << a;
        }
    }
    if (cartelle.size() > 1) {
        scrivi(stderr, QStringLiteral("%1: una cartella sola, per favore").arg(nome));
        scrivi(stderr, uso(nome));
        return esitoUso;
    }

    const QByteArray scelta = cartelle.isEmpty() ? QByteArray(".") : cartelle.first();
    const QString cartella = percorsi::cartellaDaByte(scelta);
    if (cartella.isEmpty() || !QFileInfo(cartella).isDir()) {
        scrivi(stderr,
            QStringLiteral("%1: cartella non trovata: %2")
                .arg(nome, QDir::toNativeSeparators(QFile::decodeName(scelta))));
        return esitoUso;
    }

    const verifica::Esito esito = verifica::controlla(cartella);
    for (const verifica::Problema &p : esito.risultati)
        scrivi(stdout, verifica::testo(p));
    // The count goes to the error stream, so the problem lines alone can be piped or sorted.
    if (esito.quanti(verifica::Gravita::problema) == 0) {
        scrivi(stdout, verifica::riepilogo(esito));
        return 0;
    }
    std::fflush(stdout);
    scrivi(stderr, verifica::riepilogo(esito));
    return esitoProblemi;
}
