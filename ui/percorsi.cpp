// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/percorsi.h"

#include "base/nomi.h"
#include "ui/errori.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QHash>

#include <chrono>
#include <climits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace percorsi
{

namespace
{

// A folder's entries as trova() matches them, kept while the folder is unchanged: listing and
// normalising a folder of 800 pictures costs about a millisecond, and the checker looks up four
// names per word. An entry added, removed or renamed changes the folder's modification time.
struct Elenco {
    struct stat cartella = {};
    // First entry, in listing order, whose composed form is the key; and the entries whose composed
    // form, case folded, is the key, in listing order.
    QHash<QString, QString> composte;
    QHash<QString, QStringList> senzaMaiuscole;
};

Elenco elenca(const QString &cartella, const struct stat &ora)
{
    Elenco e;
    e.cartella = ora;
    const QStringList voci
        = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &v : voci) {
        const QString forma = v.normalized(QString::NormalizationForm_C);
        // The first entry of each form wins, as a walk through the listing finds it.
        if (!e.composte.contains(forma))
            e.composte.insert(forma, v);
        e.senzaMaiuscole[forma.toCaseFolded()].append(v);
    }
    return e;
}

QString cerca(const Elenco &e, const QString &cercato)
{
    if (const auto i = e.composte.constFind(cercato); i != e.composte.constEnd())
        return *i;
    for (const QString &v : e.senzaMaiuscole.value(cercato.toCaseFolded())) {
        if (v.normalized(QString::NormalizationForm_C).compare(cercato, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

// The entry for `cercato` (in composed form) in the folder, listed at most once while the folder
// stays the same; empty when none matches.
QString cercaNellElenco(const QString &cartella, const QString &cercato)
{
    static std::mutex guardia; // the editor may check a folder on a thread of its own
    static QHash<QString, Elenco> elenchi;
    struct stat ora = {};
    if (::stat(QFile::encodeName(cartella).constData(), &ora) != 0)
        return cerca(elenca(cartella, ora), cercato);
    // A folder changed in the clock tick it is listed in may change again under the same time:
    // such a listing serves this lookup only.
    const auto adesso = std::chrono::system_clock::now().time_since_epoch();
    const auto modificata
        = std::chrono::seconds(ora.st_mtim.tv_sec) + std::chrono::nanoseconds(ora.st_mtim.tv_nsec);
    if (adesso - modificata < std::chrono::milliseconds(50))
        return cerca(elenca(cartella, ora), cercato);
    std::lock_guard blocco(guardia);
    auto e = elenchi.find(cartella);
    if (e == elenchi.end() || !stessoFile(e->cartella, ora)) {
        if (elenchi.size() >= 8)
            elenchi.clear();
        e = elenchi.insert(cartella, elenca(cartella, ora));
    }
    return cerca(*e, cercato);
}

bool soloAscii(const QString &testo)
{
    for (QChar c : testo) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// The entry of the folder that the name stands for: the name itself when it exists; otherwise an
// entry equal to it once both are in one Unicode normalisation form (a Mac writes names decomposed,
// a list from Windows holds them composed), and failing that one equal without regard to case.
// When nothing matches, the name unchanged.
QString trova(const QString &cartella, const QString &nome)
{
    if (QFileInfo::exists(cartella + u'/' + nome))
        return nome;
    // A plain ASCII name has no other composed form, so the name in small letters or in capitals,
    // when it exists, is the entry the listing would give: the game's turn, which holds the word in
    // capitals, finds "cane.jpg" without listing the folder.
    if (soloAscii(nome)) {
        for (const QString &variante : {nome.toLower(), nome.toUpper()}) {
            if (variante != nome && QFileInfo::exists(cartella + u'/' + variante))
                return variante;
        }
    }
    const QString trovato = cercaNellElenco(cartella, nome.normalized(QString::NormalizationForm_C));
    return trovato.isEmpty() ? nome : trovato;
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

bool stessoFile(const struct stat &prima, const struct stat &ora)
{
    return ora.st_dev == prima.st_dev && ora.st_ino == prima.st_ino && ora.st_size == prima.st_size
        && ora.st_mtim.tv_sec == prima.st_mtim.tv_sec && ora.st_mtim.tv_nsec == prima.st_mtim.tv_nsec
        && ora.st_ctim.tv_sec == prima.st_ctim.tv_sec && ora.st_ctim.tv_nsec == prima.st_ctim.tv_nsec;
}

} // namespace percorsi
