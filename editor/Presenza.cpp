// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Presenza.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace
{

// Several windows of one process (or of tests) each hold their own lock.
int contatore = 0;

} // namespace

Presenza::Presenza(const QString &cartella)
{
    QString radice = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (radice.isEmpty())
        radice = QDir::tempPath();
    QString canonico = QFileInfo(cartella).canonicalFilePath();
    if (canonico.isEmpty())
        canonico = QFileInfo(cartella).absoluteFilePath();
    const QByteArray impronta
        = QCryptographicHash::hash(canonico.toUtf8(), QCryptographicHash::Sha256).toHex();
    posto = radice + QStringLiteral("/batticco-parole/") + QString::fromLatin1(impronta.left(32));
    if (!QDir().mkpath(posto))
        return;
    mio = QStringLiteral("%1-%2.lock").arg(QCoreApplication::applicationPid()).arg(++contatore);
    blocco = std::make_unique<QLockFile>(posto + u'/' + mio);
    // Only a lock whose process is gone is stale, however long an editor stays open.
    blocco->setStaleLockTime(0);
    if (!blocco->tryLock(0))
        blocco.reset();
}

Presenza::~Presenza()
{
    if (blocco)
        blocco->unlock();
    if (!posto.isEmpty())
        QDir().rmdir(posto); // only when no other editor's lock is left in it
}

int Presenza::altri() const
{
    if (posto.isEmpty())
        return 0;
    int n = 0;
    for (const QString &nome : QDir(posto).entryList({QStringLiteral("*.lock")}, QDir::Files)) {
        if (nome == mio)
            continue;
        QLockFile altro(posto + u'/' + nome);
        altro.setStaleLockTime(0);
        // A lock that can be taken is a leftover of an editor that has gone: it is cleared away.
        if (altro.tryLock(0))
            altro.unlock();
        else if (altro.error() == QLockFile::LockFailedError)
            ++n;
    }
    return n;
}
