// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The desktop session the program starts in: its bus and its display. Everything here runs before
// the application object exists.
namespace sessione
{

// The first of the given folders that is a private runtime folder Qt accepts as it is: a real
// folder of this user, readable, writable and searchable by the user alone. Empty when none is.
QByteArray cartellaRuntimeValida(const QList<QByteArray> &candidati);

// Without XDG_RUNTIME_DIR Qt makes a runtime folder of its own under the temporary folder, and says
// so in English. Where the session's own folder (/run/user/<uid>) or that folder already exists, it is
// named in XDG_RUNTIME_DIR first, so nothing is created; otherwise Qt is left to do as it does.
void preparaCartellaRuntime();

// Whether a session bus can be found: an address in DBUS_SESSION_BUS_ADDRESS, or the user bus at
// $XDG_RUNTIME_DIR/bus that systemd desktops provide and libdbus finds by itself.
bool busTrovabile();

// Turns D-Bus off only when no session bus can be found: D-Bus would otherwise start a bus of its
// own and write its address under the home folder. A screen reader needs the bus when there is one.
// The runtime folder is settled first, as the user bus lives in it.
void preparaBus();

// While it lives, a display or platform that cannot be opened ends the program with an Italian
// message on standard error and status 1, in place of Qt's abort and its advice to reinstall.
class GuardiaSchermo
{
public:
    GuardiaSchermo();
    ~GuardiaSchermo();
    GuardiaSchermo(const GuardiaSchermo &) = delete;
    GuardiaSchermo &operator=(const GuardiaSchermo &) = delete;
};

// The message given when no display can be opened; pianoMancante when Qt found no plugin for the
// platform asked for.
QString messaggioSenzaSchermo(bool pianoMancante);

} // namespace sessione
