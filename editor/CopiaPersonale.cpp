// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CopiaPersonale.h"

#include "ui/errori.h"
#include "ui/percorsi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace copiapersonale
{

namespace
{

constexpr QFile::Permissions fileNormale
    = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions eseguibile = fileNormale | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
constexpr QFile::Permissions cartellaNormale = eseguibile;

QString nativo(const QString &p)
{
    return QDir::toNativeSeparators(p);
}

QString percorsoProgramma(const QString &cartella)
{
    return cartella + u'/' + QString::fromUtf16(programma);
}

// Copies one file with the given permissions and, when asked, the source's modification time.
void copiaFile(const QString &da, const QString &a, QFile::Permissions permessi, bool stessoOrario)
{
    QFile sorgente(da);
    if (!sorgente.open(QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Non riesco a leggere %1: %2").arg(nativo(da), motivi::diFile(sorgente)));
    QFile destinazione(a);
    if (!destinazione.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Errore(
            QStringLiteral("Non riesco a creare %1: %2").arg(nativo(a), motivi::diFile(destinazione)));
    while (!sorgente.atEnd()) {
        const QByteArray pezzo = sorgente.read(1 << 20);
        if (pezzo.isEmpty() && sorgente.error() != QFile::NoError)
            throw Errore(
                QStringLiteral("Non riesco a leggere %1: %2").arg(nativo(da), motivi::diFile(sorgente)));
        if (destinazione.write(pezzo) != pezzo.size())
            throw Errore(
                QStringLiteral("Non riesco a scrivere %1: %2").arg(nativo(a), motivi::diFile(destinazione)));
    }
    if (!destinazione.flush())
        throw Errore(
            QStringLiteral("Non riesco a scrivere %1: %2").arg(nativo(a), motivi::diFile(destinazione)));
    if (stessoOrario)
        destinazione.setFileTime(QFileInfo(da).lastModified(), QFileDevice::FileModificationTime);
    destinazione.close();
    // A stick's file system may keep no permissions: that is no error.
    destinazione.setPermissions(permessi);
}

qint64 misuraTotale(const QString &cartella)
{
    qint64 totale = 0;
    QDirIterator it(cartella, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        totale += it.fileInfo().size();
    }
    return totale;
}

// A Desktop Entry string value: backslash and the control characters escaped.
QString valoreVoce(QString v)
{
    v.replace(u'\\', QStringLiteral("\\\\"));
    v.replace(u'\n', QStringLiteral("\\n"));
    v.replace(u'\r', QStringLiteral("\\r"));
    v.replace(u'\t', QStringLiteral("\\t"));
    return v;
}

// One argument of an Exec line, quoted with its reserved characters escaped.
QString argomentoExec(const QString &a)
{
    QString q;
    for (QChar c : a) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            q += u'\\';
        if (c == u'%')
            q += u'%';
        q += c;
    }
    return u'"' + q + u'"';
}

// An Exec line's command and its arguments. GLib's menus look for the program by its name as written,
// before `%%` becomes `%`, and hide an entry whose program they do not find: a program path holding a
// `%` is started through env, whose name holds none.
QString comandoExec(const QStringList &argomenti)
{
    QStringList quotati;
    if (!argomenti.isEmpty() && argomenti.front().contains(u'%'))
        quotati << QStringLiteral("env");
    for (const QString &a : argomenti)
        quotati << argomentoExec(a);
    return valoreVoce(quotati.join(u' '));
}

QByteArray hash(const QString &percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result();
}

} // namespace

QString cartellaPredefinita()
{
    return QDir::homePath() + QStringLiteral("/Batticco");
}

bool eCartellaGioco(const QString &cartella)
{
    if (!QFileInfo(percorsoProgramma(cartella)).isFile())
        return false;
    for (int n = 3; n <= 6; ++n) {
        if (QFileInfo::exists(cartella + QStringLiteral("/lista%1.txt").arg(n)))
            return true;
    }
    return false;
}

QString giocoInstallato(const QString &cartellaProgramma)
{
    for (const QString &c : {cartellaProgramma, cartellaProgramma + QStringLiteral("/../lib/batticco")}) {
        if (eCartellaGioco(c))
            return QFileInfo(c).canonicalFilePath();
    }
    return {};
}

void faiCopia(const QString &sorgente, const QString &destinazione)
{
    if (!eCartellaGioco(sorgente))
        throw Errore(QStringLiteral("In %1 non c'è il gioco da copiare.").arg(nativo(sorgente)));
    const QFileInfo dest(destinazione);
    if (dest.exists()
        && !(dest.isDir()
            && QDir(destinazione).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)))
        throw Errore(QStringLiteral("La cartella %1 esiste già e non è vuota: scegline un'altra.")
                         .arg(nativo(destinazione)));
    const QString genitore = dest.absolutePath();
    if (!QDir().mkpath(genitore))
        throw Errore(QStringLiteral("Non riesco a creare la cartella %1.").arg(nativo(genitore)));

    const qint64 serve = misuraTotale(sorgente);
    const QStorageInfo disco(genitore);
    if (disco.isValid() && disco.bytesAvailable() >= 0 && disco.bytesAvailable() < serve + (1 << 20))
        throw Errore(QStringLiteral("Non c'è abbastanza spazio in %1: servono %2 MB, liberi %3 MB.")
                         .arg(nativo(genitore))
                         .arg((serve >> 20) + 1)
                         .arg(disco.bytesAvailable() >> 20));

    QTemporaryDir temporanea(genitore + u'/' + u'.' + dest.fileName() + QStringLiteral("-copia-XXXXXX"));
    if (!temporanea.isValid())
        throw Errore(QStringLiteral("Non riesco a scrivere in %1: %2")
                         .arg(nativo(genitore), temporanea.errorString()));
    const QString radice = temporanea.path();
    QFile::setPermissions(radice, cartellaNormale);

    const QDir origine(sorgente);
    QDirIterator it(
        sorgente, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString relativo = origine.relativeFilePath(info.filePath());
        const QString qui = radice + u'/' + relativo;
        if (info.isDir()) {
            if (!QDir().mkpath(qui))
                throw Errore(QStringLiteral("Non riesco a creare la cartella %1.").arg(nativo(qui)));
            QFile::setPermissions(qui, cartellaNormale);
            continue;
        }
        if (!info.isFile())
            continue;
        const bool ilGioco = relativo == QString::fromUtf16(programma);
        // Other programs beside the game (the checker, this editor) are not the game's data.
        if (!ilGioco && info.isExecutable() && !relativo.contains(u'/'))
            continue;
        copiaFile(info.filePath(), qui, ilGioco ? eseguibile : fileNormale, ilGioco);
    }

    if (dest.exists() && !QDir().rmdir(destinazione))
        throw Errore(QStringLiteral("Non riesco a usare la cartella %1.").arg(nativo(destinazione)));
    if (std::rename(QFile::encodeName(radice).constData(), QFile::encodeName(destinazione).constData()) != 0)
        throw Errore(QStringLiteral("Non riesco a creare la cartella %1.").arg(nativo(destinazione)));
    temporanea.setAutoRemove(false);
}

QString fileVoce(const QString &copia)
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + u'/'
        + percorsi::voceCopia(copia) + QStringLiteral(".desktop");
}

QString nomeDellaVoce(const QString &copia)
{
    const QString assoluto = QDir::cleanPath(QFileInfo(copia).absoluteFilePath());
    const QString nome = QString::fromUtf16(nomeVoce);
    if (assoluto == cartellaPredefinita())
        return nome;
    // A second copy (a stick, say) is told apart by its folder's name; "Batticco" would tell nothing,
    // the stick's own name (the folder it is in) does.
    const QFileInfo info(assoluto);
    QString distinto = info.fileName();
    if (distinto.compare(QStringLiteral("Batticco"), Qt::CaseInsensitive) == 0) {
        const QString sopra = QFileInfo(info.absolutePath()).fileName();
        distinto = sopra.isEmpty() ? assoluto : sopra;
    }
    return nome + QStringLiteral(" (%1)").arg(distinto);
}

QByteArray testoVoce(const QString &copia, const QString &editor, const QString &lavagna)
{
    const QString assoluto = QFileInfo(copia).absoluteFilePath();
    const QString nome = nomeDellaVoce(copia);
    QString t;
    t += QStringLiteral("[Desktop Entry]\nType=Application\n");
    t += QStringLiteral("Name=") + valoreVoce(nome) + u'\n';
    t += QStringLiteral("Comment=")
        + valoreVoce(QStringLiteral("Batticco con le parole della cartella %1").arg(assoluto)) + u'\n';
    t += QStringLiteral("Exec=") + comandoExec({percorsoProgramma(assoluto)}) + u'\n';
    t += QStringLiteral("Path=") + valoreVoce(assoluto) + u'\n';
    // Her copy's windows carry the entry's own name as their class (the game sees the entry there).
    t += QStringLiteral("Icon=batticco\nTerminal=false\nCategories=Game;KidsGame;\nStartupWMClass=")
        + percorsi::voceCopia(assoluto) + u'\n';
    t += QStringLiteral("StartupNotify=true\n");
    QStringList azioni;
    if (!lavagna.isEmpty())
        azioni << QStringLiteral("lavagna");
    if (!editor.isEmpty())
        azioni << QStringLiteral("parole");
    if (!azioni.isEmpty())
        t += QStringLiteral("Actions=") + azioni.join(u';') + QStringLiteral(";\n");
    if (!lavagna.isEmpty()) {
        // The same game, as large as the board it opens on.
        t += QStringLiteral("\n[Desktop Action lavagna]\nName=Batticco - lavagna\n");
        t += QStringLiteral("Exec=") + comandoExec({lavagna, percorsoProgramma(assoluto)}) + u'\n';
    }
    if (!editor.isEmpty()) {
        t += QStringLiteral("\n[Desktop Action parole]\nName=Cambia le parole\n");
        t += QStringLiteral("Exec=") + comandoExec({editor, assoluto}) + u'\n';
    }
    return t.toUtf8();
}

QString scriviVoce(const QString &copia, const QString &editor, const QString &lavagna)
{
    const QString percorso = fileVoce(copia);
    const QString cartella = QFileInfo(percorso).absolutePath();
    if (!QDir().mkpath(cartella))
        throw Errore(QStringLiteral("Non riesco a creare la cartella %1.").arg(nativo(cartella)));
    QSaveFile f(percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(testoVoce(copia, editor, lavagna)) < 0 || !f.commit())
        throw Errore(QStringLiteral("Non riesco a scrivere la voce del menu %1: %2")
                         .arg(nativo(percorso), motivi::diFile(f)));
    return percorso;
}

bool programmaPiuNuovo(const QString &installato, const QString &copia)
{
    const QFileInfo nuovo(percorsoProgramma(installato));
    const QFileInfo vecchio(percorsoProgramma(copia));
    if (!nuovo.isFile() || !vecchio.isFile())
        return false;
    if (nuovo.lastModified() <= vecchio.lastModified())
        return false;
    return nuovo.size() != vecchio.size() || hash(nuovo.filePath()) != hash(vecchio.filePath());
}

void aggiornaProgramma(const QString &installato, const QString &copia)
{
    const QString nuovo = copia + QStringLiteral("/.batticco-nuovo");
    QFile::remove(nuovo);
    try {
        copiaFile(percorsoProgramma(installato), nuovo, eseguibile, true);
    } catch (const Errore &) {
        QFile::remove(nuovo);
        throw;
    }
    // rename() replaces the old file in one step: the copy always has a whole program.
    if (std::rename(
            QFile::encodeName(nuovo).constData(), QFile::encodeName(percorsoProgramma(copia)).constData())
        != 0) {
        QFile::remove(nuovo);
        throw Errore(QStringLiteral("Non riesco a sostituire il programma in %1.").arg(nativo(copia)));
    }
}

} // namespace copiapersonale
