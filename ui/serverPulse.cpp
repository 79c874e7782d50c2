// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/serverPulse.h"

#include <QByteArray>
#include <QList>

#include <pulse/proplist.h>

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serverpulse
{

namespace
{

QByteArray variabile(const char *nome)
{
    const char *v = std::getenv(nome);
    return v ? QByteArray(v) : QByteArray();
}

bool presa(const QByteArray &percorso)
{
    struct stat st = {};
    return ::stat(percorso.constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool esiste(const QByteArray &percorso)
{
    struct stat st = {};
    return ::stat(percorso.constData(), &st) == 0;
}

// The user's configuration folder for the sound server, as the client library computes it.
QByteArray configurazionePulse()
{
    const QByteArray xdg = variabile("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return xdg + "/pulse";
    const QByteArray casa = variabile("HOME");
    return casa.isEmpty() ? QByteArray() : casa + "/.config/pulse";
}

// Where a server of this user listens, in the order the client library itself tries them, but
// found by looking: the library would create its runtime folder (and, without XDG_RUNTIME_DIR, a
// folder in /tmp and a link to it in HOME) before trying. Each socket is named by its real path,
// which holds no blanks, since blanks separate the entries of a server list. Empty when no
// server is running.
QByteArray serverLocali()
{
    QList<QByteArray> candidati;
    const QByteArray runtime = variabile("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        candidati << runtime + "/pulse/native";
    candidati << "/run/user/" + QByteArray::number(::getuid()) + "/pulse/native";
    // Without XDG_RUNTIME_DIR the library keeps its folder behind a link <machine id>-runtime.
    const QByteArray configurazione = configurazionePulse();
    if (!configurazione.isEmpty()) {
        if (DIR *d = ::opendir(configurazione.constData())) {
            while (const dirent *voce = ::readdir(d)) {
                const QByteArray nome(voce->d_name);
                if (nome.endsWith("-runtime"))
                    candidati << configurazione + '/' + nome + "/native";
            }
            ::closedir(d);
        }
    }
    candidati << "/var/run/pulse/native";

    QByteArray elenco;
    for (const QByteArray &c : std::as_const(candidati)) {
        if (!presa(c))
            continue;
        char *vero = ::realpath(c.constData(), nullptr);
        const QByteArray percorso = vero ? QByteArray(vero) : c;
        std::free(vero);
        if (percorso.contains(' ') || percorso.contains('\t') || percorso.contains('\n')
            || elenco.contains("unix:" + percorso + ' '))
            continue;
        elenco += "unix:" + percorso + ' ';
    }
    return elenco.trimmed();
}

// Whether the user has a cookie the library would read. Without one, the library makes
// ~/.config/pulse/cookie on its first connection; it is given an endless source of zero bytes
// to read instead. The cookie only matters to a server of another user, and such a server's
// user would have given this one a cookie file.
bool senzaCookie()
{
    if (!variabile("PULSE_COOKIE").isEmpty())
        return false;
    const QByteArray configurazione = configurazionePulse();
    if (!configurazione.isEmpty() && esiste(configurazione + "/cookie"))
        return false;
    const QByteArray casa = variabile("HOME");
    return casa.isEmpty() || !esiste(casa + "/.pulse-cookie");
}

} // namespace

bool presente()
{
    return !variabile("PULSE_SERVER").isEmpty() || !serverLocali().isEmpty();
}

pa_context *connetti(pa_mainloop_api *api, const Cliente &cliente, pa_context_notify_cb_t stato, void *dati)
{
    const QByteArray locali = serverLocali();
    const bool scelto = !variabile("PULSE_SERVER").isEmpty();
    if (!scelto && locali.isEmpty())
        return nullptr;
    pa_proplist *p = pa_proplist_new();
    pa_proplist_sets(p, PA_PROP_APPLICATION_NAME, cliente.nome);
    pa_proplist_sets(p, PA_PROP_APPLICATION_ID, cliente.id);
    pa_proplist_sets(p, PA_PROP_APPLICATION_ICON_NAME, "batticco");
    pa_proplist_sets(p, PA_PROP_MEDIA_ROLE, cliente.ruolo);
    pa_context *contesto = pa_context_new_with_proplist(api, cliente.nome, p);
    pa_proplist_free(p);
    if (!contesto)
        return nullptr;
    if (senzaCookie())
        pa_context_load_cookie_from_file(contesto, "/dev/zero");
    pa_context_set_state_callback(contesto, stato, dati);
    // A server the user chose (PULSE_SERVER) is the library's to find; never start one.
    if (pa_context_connect(contesto, scelto ? nullptr : locali.constData(), PA_CONTEXT_NOAUTOSPAWN, nullptr)
        < 0) {
        chiudi(contesto);
        return nullptr;
    }
    return contesto;
}

void chiudi(pa_context *contesto)
{
    if (!contesto)
        return;
    pa_context_set_state_callback(contesto, nullptr, nullptr);
    pa_context_disconnect(contesto);
    pa_context_unref(contesto);
}

} // namespace serverpulse
