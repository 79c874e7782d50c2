// SPDX-License-Identifier: GPL-3.0-or-later
// batticco-verifica: checks a data folder of the game (word lists, pictures, sounds) and prints one
// line per problem, so a teacher can fix their own lists before a child meets them.

#include "game/VerificaDati.h"

#include <QCoreApplication>
#include <QDir>
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
        "Controlla la cartella dei dati di Batticco (lista3.txt ... lista6.txt, jpg/, suoni/)\n"
        "e scrive una riga per ogni problema, nella forma \"file:riga: messaggio\".\n"
        "Senza cartella controlla la cartella corrente.\n"
        "Esce con 0 se non ci sono problemi, 1 se ce n'è almeno uno, 2 se gli argomenti sono sbagliati.")
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

    QStringList argomenti = app.arguments().mid(1);
    if (argomenti.contains(QStringLiteral("--help")) || argomenti.contains(QStringLiteral("-h"))) {
        scrivi(stdout, uso(nome));
        return 0;
    }
    // "--" ends the options, so a folder whose name starts with a dash can still be given.
    QStringList cartelle;
    bool opzioni = true;
    for (const QString &a : argomenti) {
        if (opzioni && a == u"--") {
            opzioni = false;
        } else if (opzioni && a.startsWith(u'-') && a != u"-") {
            scrivi(stderr, QStringLiteral("%1: opzione sconosciuta: %2").arg(nome, a));
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

    const QString cartella = cartelle.isEmpty() ? QStringLiteral(".") : cartelle.first();
    if (!QFileInfo(cartella).isDir()) {
        scrivi(stderr,
            QStringLiteral("%1: cartella non trovata: %2").arg(nome, QDir::toNativeSeparators(cartella)));
        return esitoUso;
    }

    const verifica::Esito esito = verifica::controlla(cartella);
    for (const verifica::Problema &p : esito.problemi)
        scrivi(stdout, verifica::testo(p));
    // The count goes to the error stream, so the problem lines alone can be piped or sorted.
    if (esito.problemi.empty()) {
        scrivi(stdout, verifica::riepilogo(esito));
        return 0;
    }
    std::fflush(stdout);
    scrivi(stderr, verifica::riepilogo(esito));
    return esitoProblemi;
}
