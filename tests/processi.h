// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the C++ tests that run real programs share with the Python harness (tests/e2e/batticco_e2e.py):
// an X server of the test's own, on a display Xvfb picks itself, and a process's memory as the kernel
// counts it.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <unistd.h>

namespace prova
{

// A figure in kB of /proc/<processo>/status ("VmHWM" the peak resident memory, "VmRSS" the present
// one); `processo` is a pid or "self". -1 when the process or the field is not there.
inline qint64 memoriaKb(const QString &processo, QByteArrayView campo)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(processo));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &riga : status.readAll().split('\n')) {
        if (riga.startsWith(campo) && riga.size() > campo.size() && riga[campo.size()] == ':') {
            bool ok = false;
            const qint64 kb = riga.mid(campo.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb : -1;
        }
    }
    return -1;
}

inline qint64 memoriaKb(qint64 pid, QByteArrayView campo)
{
    return memoriaKb(QString::number(pid), campo);
}

// The processor time a running process has used so far, user and system, in milliseconds (its
// /proc/<pid>/stat); -1 once it is gone.
inline qint64 processoreMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the name, which is in parentheses and may hold anything: the 14th and 15th
    // of the line are the 12th and 13th after it.
    const QByteArray riga = stat.readAll();
    const QList<QByteArray> campi = riga.mid(riga.lastIndexOf(')') + 2).split(' ');
    if (campi.size() < 13)
        return -1;
    const qint64 tic = campi[11].toLongLong() + campi[12].toLongLong();
    return tic * 1000 / ::sysconf(_SC_CLK_TCK);
}

// Xvfb with one 1024x768 screen on a free display (-displayfd, so parallel runs never meet), no TCP,
// and no reset when its last client leaves (the next program would meet a server in the middle of
// its reset). Stopped when the object goes.
class ServerX
{
public:
    ServerX(const QString &schermo = QStringLiteral("1024x768x24"))
    {
        int canale[2];
        if (::pipe(canale) != 0) {
            guasto = QStringLiteral("pipe() failed");
            return;
        }
        xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xvfb.setChildProcessModifier([canale] { ::close(canale[0]); });
        xvfb.start(QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QString::number(canale[1]), QStringLiteral("-screen"),
                QStringLiteral("0"), schermo, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                QStringLiteral("-noreset")});
        ::close(canale[1]);
        if (!xvfb.waitForStarted(5000)) {
            ::close(canale[0]);
            mancante = true;
            guasto = QStringLiteral("Xvfb is not installed (tools/install-deps.sh installs it)");
            return;
        }
        QByteArray numero;
        char c;
        while (::read(canale[0], &c, 1) == 1 && c != '\n')
            numero += c;
        ::close(canale[0]);
        if (numero.isEmpty())
            guasto = QStringLiteral("Xvfb gave no display number");
        else
            schermoX = u':' + QString::fromLatin1(numero);
    }

    ~ServerX()
    {
        if (xvfb.state() == QProcess::NotRunning)
            return;
        xvfb.terminate();
        if (!xvfb.waitForFinished(5000))
            xvfb.kill();
        xvfb.waitForFinished(2000);
    }

    ServerX(const ServerX &) = delete;
    ServerX &operator=(const ServerX &) = delete;

    // ":12"; empty when the server did not start, and then motivo() says why.
    QString display() const { return schermoX; }
    QString motivo() const { return guasto; }
    // True when Xvfb itself is missing: a test may skip rather than fail.
    bool manca() const { return mancante; }

    // The environment with DISPLAY on this server, for a program or a tool run in it.
    QProcessEnvironment ambiente(QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) const
    {
        env.insert(QStringLiteral("DISPLAY"), schermoX);
        return env;
    }

private:
    QProcess xvfb;
    QString schermoX;
    QString guasto;
    bool mancante = false;
};

} // namespace prova
