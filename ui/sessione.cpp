// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sessione.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sessione
{

QByteArray cartellaRuntimeValida(const QList<QByteArray> &candidati)
{
    for (const QByteArray &cartella : candidati) {
        struct stat info = {};
        if (!cartella.isEmpty() && ::lstat(cartella.constData(), &info) == 0 && S_ISDIR(info.st_mode)
            && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700)
            return cartella;
    }
    return {};
}

void preparaCartellaRuntime()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t utente = ::geteuid();
    QList<QByteArray> candidati {QByteArray("/run/user/") + QByteArray::number(utente)};
    // The folder Qt itself would make, if an earlier program already made it.
    if (const passwd *voce = ::getpwuid(utente); voce && voce->pw_name)
        candidati.append(QFile::encodeName(QDir::tempPath()) + "/runtime-" + voce->pw_name);
    const QByteArray cartella = cartellaRuntimeValida(candidati);
    if (!cartella.isEmpty())
        qputenv("XDG_RUNTIME_DIR", cartella);
}

bool busTrovabile()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return false;
    struct stat info = {};
    const QByteArray bus = runtime + "/bus";
    return ::stat(bus.constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

void preparaBus()
{
    preparaCartellaRuntime();
    if (!busTrovabile())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

QString messaggioSenzaSchermo(bool pianoMancante)
{
    const QByteArray piattaforma = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    QString perche;
    if (pianoMancante && !piattaforma.isEmpty())
        perche = QStringLiteral("manca il modulo grafico \"%1\" (QT_QPA_PLATFORM)")
                     .arg(QString::fromLocal8Bit(piattaforma));
    else if (display.isEmpty() && wayland.isEmpty())
        perche = QStringLiteral("nessuno schermo indicato (DISPLAY non è impostata)");
    else
        perche = QStringLiteral("lo schermo \"%1\" non risponde")
                     .arg(QString::fromLocal8Bit(display.isEmpty() ? wayland : display));
    return QStringLiteral("Batticco: impossibile aprire le finestre del gioco: %1.\n"
                          "Avvia Batticco dal desktop, in una sessione grafica.\n")
        .arg(perche);
}

namespace
{

QtMessageHandler precedente = nullptr;
// Qt's own warnings about a display it could not open come before its fatal message, in English:
// they are held back, and shown only if the program goes on.
QList<std::pair<QtMsgType, QString>> trattenuti;

void sorvegliaSchermo(QtMsgType tipo, const QMessageLogContext &, const QString &testo)
{
    if (tipo != QtFatalMsg) {
        trattenuti.append({tipo, testo});
        return;
    }
    bool pianoMancante = false;
    for (const auto &[tipoTrattenuto, trattenuto] : std::as_const(trattenuti))
        pianoMancante
            = pianoMancante || trattenuto.contains(QLatin1String("Could not find the Qt platform plugin"));
    const QByteArray messaggio = messaggioSenzaSchermo(pianoMancante).toLocal8Bit();
    std::fputs(messaggio.constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

GuardiaSchermo::GuardiaSchermo()
{
    precedente = qInstallMessageHandler(sorvegliaSchermo);
}

GuardiaSchermo::~GuardiaSchermo()
{
    qInstallMessageHandler(precedente);
    for (const auto &[tipo, testo] : std::as_const(trattenuti)) {
        if (precedente)
            precedente(tipo, QMessageLogContext(), testo);
    }
    trattenuti.clear();
}

} // namespace sessione
