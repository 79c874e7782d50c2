// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files a test makes and reads back: its folders made as needed, a failure told by the result.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Writes `byte` to `percorso`, making its folders; false when any of it fails.
inline bool scriviFile(const QString &percorso, const QByteArray &byte)
{
    QDir().mkpath(QFileInfo(percorso).absolutePath());
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(byte) == byte.size();
}

// The file's bytes, or none when it cannot be read.
inline QByteArray leggiFile(const QString &percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
