// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/motivi.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>

namespace motivi
{

namespace
{

struct Voce {
    int numero;
    const char *italiano;
};

// Wordings two reasons share, each written once.
constexpr const char *permessoNegato = "permesso negato";
constexpr const char *nonRaggiungibile = "il dispositivo non è raggiungibile";
constexpr const char *inUso = "il file è in uso";
constexpr const char *troppiAperti = "troppi file aperti";

// The reasons a file operation meets in practice.
constexpr Voce voci[] = {
    {EACCES, permessoNegato},
    {EPERM, permessoNegato},
    {ENOSPC, "il disco è pieno"},
    {EDQUOT, "lo spazio concesso su questo disco è finito"},
    {EROFS, "il disco è di sola lettura"},
    {ENOENT, "il file non esiste"},
    {ENOTDIR, "una parte del percorso non è una cartella"},
    {EISDIR, "è una cartella"},
    {ENAMETOOLONG, "il nome è troppo lungo"},
    {ELOOP, "troppi collegamenti uno dentro l'altro"},
    {EIO, "errore di lettura o scrittura sul disco"},
    {ENXIO, nonRaggiungibile},
    {ENODEV, nonRaggiungibile},
    {EBUSY, inUso},
    {ETXTBSY, inUso},
    {EMFILE, troppiAperti},
    {ENFILE, troppiAperti},
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
    struct statvfs s = {};
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
        return QString::fromUtf8(permessoNegato);
    if (testo.isEmpty() || testo == QLatin1String("Unknown error"))
        return QStringLiteral("errore sconosciuto del sistema");
    return testo;
}

QString accorciato(QStringView testo, qsizetype inizio, qsizetype fine)
{
    if (testo.size() <= inizio + fine + 1)
        return testo.toString();
    QString corto = testo.left(inizio).toString();
    corto += QChar(0x2026);
    corto += testo.right(fine);
    return corto;
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
