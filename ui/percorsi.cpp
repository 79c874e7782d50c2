// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/percorsi.h"

#include <QDir>
#include <QFileInfo>

namespace percorsi {

namespace {

// The entry of the folder whose name matches without regard to case, or the name unchanged.
QString trova(const QString &cartella, const QString &nome)
{
    if (QFileInfo::exists(cartella + u'/' + nome))
        return nome;
    const QStringList voci = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &v : voci) {
        if (v.compare(nome, Qt::CaseInsensitive) == 0)
            return v;
    }
    return nome;
}

} // namespace

QString dati(const QString &cartellaDati, const QString &relativo)
{
    QString percorso = cartellaDati;
    QString parte = relativo;
    // Both separators are taken by hand: QDir::fromNativeSeparators leaves backslashes alone here.
    parte.replace(u'\\', u'/');
    const QStringList nomi = parte.split(u'/', Qt::SkipEmptyParts);
    for (const QString &nome : nomi)
        percorso += u'/' + trova(percorso, nome);
    return QDir::toNativeSeparators(percorso);
}

bool nomeSicuro(const QString &nome)
{
    if (nome == u"." || nome == u".." || nome.size() > massimoNome)
        return false;
    for (QChar c : nome) {
        if (c == u'/' || c == u'\\' || c == QChar(0))
            return false;
    }
    return true;
}

} // namespace percorsi
