// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/errori.h"

#include "ui/messaggi.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QWidget>

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>

void UscitaQt::termina(int stato)
{
    // Nothing is kept beyond the run: hide every window at once and leave every event loop.
    const auto finestre = QApplication::topLevelWidgets();
    for (QWidget *w : finestre)
        w->hide();
    QCoreApplication::exit(stato);
}

namespace {

// A message is a line or two. One built around a hostile name (a "word" of megabytes) keeps its
// beginning and its end, which name the file, and loses its middle: a message box laying out
// megabytes of text would hang the program.
QString accorciato(const QString &messaggio)
{
    constexpr qsizetype inizio = 400;
    constexpr qsizetype fine = 200;
    if (messaggio.size() <= inizio + fine + 1)
        return messaggio;
    return messaggio.left(inizio) + QChar(0x2026) + messaggio.right(fine);
}

} // namespace

void riportaErrore(Messaggi &messaggi, Uscita &uscita, const QString &testo)
{
    const QString messaggio = motivi::visibile(accorciato(testo));
    // Also on standard error, before the box waits for its answer: whoever started the program
    // (a script, a school's launcher, a test) can read what went wrong.
    qWarning().noquote() << messaggio;
    messaggi.mostra(messaggio, stile::iconaErrore);
    uscita.termina(1);
}

namespace motivi
{

namespace
{

struct Voce {
    int numero;
    const char *italiano;
};

// The reasons a file operation meets in practice.
constexpr Voce voci[] = {
    {EACCES, "permesso negato"},
    {EPERM, "permesso negato"},
    {ENOSPC, "il disco è pieno"},
    {EDQUOT, "lo spazio concesso su questo disco è finito"},
    {EROFS, "il disco è di sola lettura"},
    {ENOENT, "il file non esiste"},
    {ENOTDIR, "una parte del percorso non è una cartella"},
    {EISDIR, "è una cartella"},
    {ENAMETOOLONG, "il nome è troppo lungo"},
    {ELOOP, "troppi collegamenti uno dentro l'altro"},
    {EIO, "errore di lettura o scrittura sul disco"},
    {ENXIO, "il dispositivo non è raggiungibile"},
    {ENODEV, "il dispositivo non è raggiungibile"},
    {EBUSY, "il file è in uso"},
    {ETXTBSY, "il file è in uso"},
    {EMFILE, "troppi file aperti"},
    {ENFILE, "troppi file aperti"},
    {ENOMEM, "memoria esaurita"},
    {EFBIG, "il file è troppo grande per questo disco"},
    {EXDEV, "non si può spostare da un disco a un altro"},
    {EEXIST, "il file esiste già"},
    {ENOTEMPTY, "la cartella non è vuota"},
    {EAGAIN, "il file non è pronto"},
    {EINVAL, "operazione non valida"},
};

// The system's own text for a reason, as Qt writes it in a file's error string.
QString testoDiSistema(int numero)
{
    return QString::fromLocal8Bit(std::strerror(numero));
}

// True when the folder that holds the file has no room left for a write.
bool discoPieno(const QString &percorso)
{
    if (percorso.isEmpty())
        return false;
    struct statvfs s {};
    const QByteArray cartella = QFile::encodeName(QFileInfo(percorso).absolutePath());
    return ::statvfs(cartella.constData(), &s) == 0 && s.f_bavail == 0;
}

} // namespace

QString diSistema(int numero)
{
    for (const Voce &v : voci) {
        if (v.numero == numero)
            return QString::fromUtf8(v.italiano);
    }
    return testoDiSistema(numero);
}

QString diFile(const QFileDevice &file)
{
    const QString testo = file.errorString();
    // Qt writes the reason in its own words, translated when its translation is loaded, else the system's.
    for (const Voce &v : voci) {
        if (testo.contains(testoDiSistema(v.numero), Qt::CaseInsensitive)
            || testo.contains(qt_error_string(v.numero), Qt::CaseInsensitive))
            return QString::fromUtf8(v.italiano);
    }
    const QFileDevice::FileError errore = file.error();
    if ((errore == QFileDevice::WriteError || errore == QFileDevice::ResizeError
            || errore == QFileDevice::UnspecifiedError)
        && discoPieno(file.fileName()))
        return diSistema(ENOSPC);
    if (errore == QFileDevice::PermissionsError)
        return diSistema(EACCES);
    if (testo.isEmpty() || testo == QLatin1String("Unknown error"))
        return QStringLiteral("errore sconosciuto del sistema");
    return testo;
}

QString visibile(const QString &testo)
{
    QString r;
    r.reserve(testo.size());
    for (QChar c : testo) {
        if (c.category() == QChar::Other_Control && c != u'\n' && c != u'\t')
            r += QStringLiteral("[U+%1]").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
        else
            r += c;
    }
    return r;
}

} // namespace motivi
