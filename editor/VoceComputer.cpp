// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/VoceComputer.h"

#include "ui/suoni.h"

#include <QProcess>
#include <QStandardPaths>

namespace vocecomputer
{

QString programma()
{
    return QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
}

voce::Risultato voce(const QString &testo)
{
    voce::Risultato r;
    const QString eseguibile = programma();
    if (eseguibile.isEmpty()) {
        r.errore = QStringLiteral(
            "La voce del computer non è installata. Chiedi di installare il pacchetto espeak-ng "
            "(per esempio con «sudo apt install espeak-ng»), poi riprova; intanto puoi registrare "
            "la tua voce.");
        return r;
    }
    QProcess p;
    // The text goes in on its own input, so a hint that starts with a dash is never an option.
    p.start(eseguibile,
        {QStringLiteral("-v"), QStringLiteral("it"), QStringLiteral("-s"), QString::number(velocita),
            QStringLiteral("-b"), QStringLiteral("1"), QStringLiteral("--stdin"),
            QStringLiteral("--stdout")});
    if (p.waitForStarted(5000)) {
        p.write(testo.trimmed().toUtf8() + '\n');
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        r.errore = QStringLiteral("La voce del computer non ha funzionato (espeak-ng: %1).")
                       .arg(QString::fromLocal8Bit(p.readAllStandardError()).trimmed().left(200));
        return r;
    }
    const QByteArray uscita = p.readAllStandardOutput().left(massimoByteSuono * 4);
    const wav::Lettura l = wav::leggi(uscita);
    r = voce::prepara(l.valida() ? voce::campioniDi(l.suono) : std::vector<float>(), l.suono.frequenza);
    if (!r.errore.isEmpty())
        r.errore = QStringLiteral("La voce del computer non ha detto niente per «%1».").arg(testo.trimmed());
    return r;
}

} // namespace vocecomputer
