// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/VoceComputer.h"

#include "ui/suoni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace vocecomputer
{

Sintetizzatore sintetizzatore(const QString &vociFestival)
{
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (!espeak.isEmpty())
        return {espeak,
            {QStringLiteral("-v"), QStringLiteral("it"), QStringLiteral("-s"), QString::number(velocita),
                QStringLiteral("-b"), QStringLiteral("1"), QStringLiteral("--stdin"),
                QStringLiteral("--stdout")},
            false};
    const QString festival = QStandardPaths::findExecutable(QStringLiteral("text2wave"));
    if (festival.isEmpty())
        return {};
    for (const char *nome : {"lp_diphone", "pc_diphone"}) {
        if (!QFileInfo(QDir(vociFestival).filePath(QLatin1StringView(nome))).isDir())
            continue;
        // The voice first: choosing one sets its own duration again.
        return {festival,
            {QStringLiteral("-eval"), QStringLiteral("(voice_%1)").arg(QLatin1StringView(nome)),
                QStringLiteral("-eval"),
                QStringLiteral("(Parameter.set 'Duration_Stretch %1)").arg(allungamentoFestival),
                QStringLiteral("-otype"), QStringLiteral("riff"), QStringLiteral("-o")},
            true, true};
    }
    return {};
}

QString programma()
{
    return sintetizzatore().programma;
}

voce::Risultato voce(const QString &testo, const Sintetizzatore &s)
{
    voce::Risultato r;
    if (s.programma.isEmpty()) {
        r.errore = QStringLiteral(
            "La voce del computer non è installata. Chiedi di installare il pacchetto espeak-ng "
            "(per esempio con «sudo apt install espeak-ng»), poi riprova; intanto puoi registrare "
            "la tua voce.");
        return r;
    }
    const QString nome = QFileInfo(s.programma).fileName();
    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("voce.wav"));
    QProcess p;
    // The text goes in on its own input, so a hint that starts with a dash is never an option.
    p.start(s.programma, s.suFile ? s.argomenti + QStringList {file} : s.argomenti);
    if (p.waitForStarted(5000)) {
        const QString riga = testo.trimmed();
        p.write((s.latino1 ? riga.toLatin1() : riga.toUtf8()) + '\n');
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        r.errore = QStringLiteral("La voce del computer non ha funzionato (%1: %2).")
                       .arg(nome, QString::fromLocal8Bit(p.readAllStandardError()).trimmed().left(200));
        return r;
    }
    QFile scritto(file);
    const QByteArray uscita = !s.suFile     ? p.readAllStandardOutput().left(massimoByteSuono * 4)
        : scritto.open(QIODevice::ReadOnly) ? scritto.read(massimoByteSuono * 4)
                                            : QByteArray();
    const wav::Lettura l = wav::leggi(uscita);
    r = voce::prepara(l.valida() ? voce::campioniDi(l.suono) : std::vector<float>(), l.suono.frequenza);
    if (!r.errore.isEmpty())
        r.errore = QStringLiteral("La voce del computer non ha detto niente per «%1».").arg(testo.trimmed());
    return r;
}

} // namespace vocecomputer
