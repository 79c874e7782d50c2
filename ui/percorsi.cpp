// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/percorsi.h"

#include "game/regole.h"
#include "ui/errori.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <unistd.h>

namespace percorsi
{

namespace
{

// The entry of the folder that the name stands for: the name itself when it exists; otherwise an
// entry equal to it once both are in one Unicode normalisation form (a Mac writes names decomposed,
// a list from Windows holds them composed), and failing that one equal without regard to case.
// When nothing matches, the name unchanged.
QString trova(const QString &cartella, const QString &nome)
{
    if (QFileInfo::exists(cartella + u'/' + nome))
        return nome;
    const QString cercato = nome.normalized(QString::NormalizationForm_C);
    const QStringList voci
        = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString senzaMaiuscole;
    for (const QString &v : voci) {
        const QString forma = v.normalized(QString::NormalizationForm_C);
        if (forma == cercato)
            return v;
        if (senzaMaiuscole.isEmpty() && forma.compare(cercato, Qt::CaseInsensitive) == 0)
            senzaMaiuscole = v;
    }
    return senzaMaiuscole.isEmpty() ? nome : senzaMaiuscole;
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

QString cartellaDaByte(const QByteArray &percorso)
{
    if (percorso.isEmpty())
        return {};
    const QString testo = QFile::decodeName(percorso);
    // Qt turns bytes the locale cannot decode into U+FFFD, which names no file: such a path is
    // entered by its bytes and read from inside.
    if (QFile::encodeName(testo) == percorso)
        return testo;
    if (::chdir(percorso.constData()) != 0)
        return {};
    return QStringLiteral(".");
}

QString cartellaProgramma()
{
    QByteArray programma(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", programma.data(), std::size_t(programma.size()));
    QByteArray cartella;
    if (n > 0 && n < programma.size()) {
        programma.truncate(n);
        cartella = programma.left(programma.lastIndexOf('/'));
        if (cartella.isEmpty())
            cartella = "/";
    } else {
        cartella = QFile::encodeName(QCoreApplication::applicationDirPath());
    }
    const QString dati = cartellaDaByte(cartella);
    // An empty data folder would make "/lista4.txt" of "\lista4.txt": the file-system root is
    // never the data folder by accident.
    if (dati.isEmpty())
        throw Errore(
            QStringLiteral("Non trovo la cartella del programma: %1").arg(QFile::decodeName(cartella)));
    return dati;
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

std::optional<QString> fileParola(
    const QString &cartellaDati, QStringView cartella, QStringView parola, QStringView estensione)
{
    const QString nome = regole::senzaSpaziIniziali(parola);
    if (!nomeSicuro(nome))
        return std::nullopt;
    return dati(cartellaDati, u'\\' + cartella.toString() + u'\\' + nome + estensione.toString());
}

QString voceCopia(const QString &cartella)
{
    const QString assoluto = QFileInfo(cartella).absoluteFilePath();
    const QByteArray impronta
        = QCryptographicHash::hash(assoluto.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return QStringLiteral("batticco-copia-") + QString::fromLatin1(impronta);
}

} // namespace percorsi
