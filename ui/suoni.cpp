// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/suoni.h"

#include "ui/percorsi.h"
#include "ui/pulseTardiva.h"
#include "ui/serverPulse.h"
#include "ui/wav.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

bool suonoGiocabile(const QString &percorso)
{
    const QFileInfo file(percorso);
    return file.isFile() && file.size() <= massimoByteSuono;
}

QString percorsoVoce(const QString &cartellaDati, QStringView parola)
{
    return percorsi::fileParola(cartellaDati, u"voci", parola, u".wav").value_or(QString());
}

namespace
{

using Orologio = std::chrono::steady_clock;

// How long a connection may take before it is given up, and how late a sound may start: a "yes"
// heard seconds after the word was finished would belong to nothing the child did.
constexpr auto attesaServer = std::chrono::seconds(3);
constexpr auto ritardoMassimo = std::chrono::milliseconds(1500);

pa_sample_format_t formato(wav::Campione c)
{
    switch (c) {
    case wav::Campione::u8:
        return PA_SAMPLE_U8;
    case wav::Campione::s16:
        return PA_SAMPLE_S16LE;
    case wav::Campione::s24:
        return PA_SAMPLE_S24LE;
    case wav::Campione::s32:
        return PA_SAMPLE_S32LE;
    case wav::Campione::f32:
        return PA_SAMPLE_FLOAT32LE;
    case wav::Campione::alaw:
        return PA_SAMPLE_ALAW;
    case wav::Campione::ulaw:
        return PA_SAMPLE_ULAW;
    }
    return PA_SAMPLE_INVALID;
}

struct Richiesta {
    QString percorso;
    Orologio::time_point quando;
    bool soloSeGiocabile = false; // a file that does not play leaves the sound playing
};

struct Pronto {
    wav::Suono suono;
    QByteArray nome; // the file's name, which the server shows as the stream's name
    Orologio::time_point quando;
};

// Reads and checks a sound on the sound thread, so a slow disk holds up nobody.
std::optional<Pronto> carica(const Richiesta &r)
{
    if (!suonoGiocabile(r.percorso))
        return std::nullopt;
    QFile f(r.percorso);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // As much as the file holds: a buffer of the largest size allowed, made for every sound, would
    // leave the allocator with megabytes it keeps.
    const QByteArray byte = f.read(qMin(f.size(), massimoByteSuono));
    wav::Lettura l = wav::leggi(byte);
    if (!l.valida())
        return std::nullopt;
    return Pronto {std::move(l.suono), QFileInfo(r.percorso).fileName().toUtf8(), r.quando};
}

// The sound server's side, on the sound thread: the connection to the user's running server (made at
// the first sound, dropped when the server goes) and the one stream playing.
struct Lettore {
    explicit Lettore(pa_mainloop_api *a)
        : api(a)
    {
    }
    Lettore(const Lettore &) = delete;
    Lettore &operator=(const Lettore &) = delete;

    // A new sound stops the one playing, even when the new one cannot be played, unless it was
    // asked for only if it plays.
    void accetta(const Richiesta &r)
    {
        std::optional<Pronto> nuovo = carica(r);
        if (!nuovo && r.soloSeGiocabile)
            return;
        if (flusso && pa_stream_get_state(flusso) == PA_STREAM_CREATING) {
            // The server has not answered yet for the stream being made, and nothing of it plays:
            // the new sound (or the silence) takes its place once it answers, a few milliseconds
            // on. A stream ended before that answer is kept by the library until the server's
            // answers come, so sounds asked for faster than the server answers would pile them up.
            inAttesa = std::move(nuovo);
            dopoLaRisposta = true;
            return;
        }
        ferma();
        inAttesa = std::move(nuovo);
        if (!inAttesa)
            return;
        if (!contesto)
            connetti();
        else if (pa_context_get_state(contesto) == PA_CONTEXT_READY)
            avvia();
        // else the connection under way plays it when ready
    }

    void connetti()
    {
        static constexpr serverpulse::Cliente gioco {"Batticco", "io.github.batticco.Batticco", "game"};
        contesto = serverpulse::connetti(api, gioco, &Lettore::statoContesto, this);
        if (!contesto) {
            inAttesa.reset(); // no server running: silent, and the next sound looks again
            return;
        }
        timeval quando {};
        pa_timeval_add(pa_gettimeofday(&quando), pa_usec_t(std::chrono::microseconds(attesaServer).count()));
        scadenza = api->time_new(api, &quando, &Lettore::scaduto, this);
    }

    static void statoContesto(pa_context *c, void *dati)
    {
        auto *m = static_cast<Lettore *>(dati);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            m->fermaScadenza();
            if (m->inAttesa && Orologio::now() - m->inAttesa->quando <= ritardoMassimo)
                m->avvia();
            else
                m->inAttesa.reset();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            m->abbandona(); // the server is gone or never answered
            break;
        default:
            break;
        }
    }

    static void scaduto(pa_mainloop_api *, pa_time_event *, const timeval *, void *dati)
    {
        // A server that took the connection and never answered.
        static_cast<Lettore *>(dati)->abbandona();
    }

    void avvia()
    {
        Pronto p = std::move(*inAttesa);
        inAttesa.reset();
        const pa_sample_spec tipo {
            formato(p.suono.campione), uint32_t(p.suono.frequenza), uint8_t(p.suono.canali)};
        if (!pa_sample_spec_valid(&tipo))
            return;
        flusso = pa_stream_new(contesto, p.nome.constData(), &tipo, nullptr);
        if (!flusso)
            return;
        corrente = std::move(p.suono.dati);
        scritti = 0;
        pa_stream_set_state_callback(flusso, &Lettore::statoFlusso, this);
        pa_stream_set_write_callback(flusso, &Lettore::scrivi, this);
        // A short buffer, so that the next sound cuts this one off at once.
        pa_buffer_attr attributi {};
        attributi.maxlength = uint32_t(-1);
        attributi.tlength = uint32_t(pa_usec_to_bytes(100 * PA_USEC_PER_MSEC, &tipo));
        attributi.prebuf = uint32_t(-1);
        attributi.minreq = uint32_t(-1);
        attributi.fragsize = uint32_t(-1);
        if (pa_stream_connect_playback(
                flusso, nullptr, &attributi, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr)
            < 0)
            ferma();
    }

    static void scrivi(pa_stream *s, size_t quanti, void *dati)
    {
        auto *m = static_cast<Lettore *>(dati);
        const size_t resto = size_t(m->corrente.size()) - m->scritti;
        const size_t n = std::min(quanti, resto);
        if (n > 0
            && pa_stream_write(s, m->corrente.constData() + m->scritti, n, nullptr, 0, PA_SEEK_RELATIVE) == 0)
            m->scritti += n;
        if (m->scritti >= size_t(m->corrente.size())) {
            // All handed over: let the server play it to the end, then close the stream.
            pa_stream_set_write_callback(s, nullptr, nullptr);
            if (pa_operation *o = pa_stream_drain(s, &Lettore::finito, m))
                pa_operation_unref(o);
        }
    }

    static void finito(pa_stream *s, int, void *dati)
    {
        auto *m = static_cast<Lettore *>(dati);
        if (s == m->flusso)
            m->ferma();
    }

    static void statoFlusso(pa_stream *s, void *dati)
    {
        // No device, or one that went away: this sound is lost, the next one tries again.
        auto *m = static_cast<Lettore *>(dati);
        const pa_stream_state_t stato = pa_stream_get_state(s);
        if (s != m->flusso || stato == PA_STREAM_CREATING || stato == PA_STREAM_UNCONNECTED)
            return;
        if (std::exchange(m->dopoLaRisposta, false)) {
            // A sound came while the server made this stream: it takes the stream's place now.
            m->ferma();
            if (m->inAttesa && Orologio::now() - m->inAttesa->quando <= ritardoMassimo)
                m->avvia();
            else
                m->inAttesa.reset();
        } else if (stato == PA_STREAM_FAILED || stato == PA_STREAM_TERMINATED) {
            m->ferma();
        }
    }

    void ferma()
    {
        dopoLaRisposta = false;
        if (!flusso)
            return;
        pa_stream_set_state_callback(flusso, nullptr, nullptr);
        pa_stream_set_write_callback(flusso, nullptr, nullptr);
        if (pa_stream_get_state(flusso) == PA_STREAM_READY
            || pa_stream_get_state(flusso) == PA_STREAM_CREATING)
            pa_stream_disconnect(flusso);
        pa_stream_unref(flusso);
        flusso = nullptr;
        corrente.clear();
        scritti = 0;
    }

    // Drops the connection and whatever waited for it: the next sound connects afresh.
    void abbandona()
    {
        ferma();
        chiudiContesto();
        inAttesa.reset();
    }

    void fermaScadenza()
    {
        if (scadenza) {
            api->time_free(scadenza);
            scadenza = nullptr;
        }
    }

    void chiudiContesto()
    {
        fermaScadenza();
        serverpulse::chiudi(std::exchange(contesto, nullptr));
    }

    pa_mainloop_api *api;
    pa_context *contesto = nullptr;
    pa_time_event *scadenza = nullptr;
    pa_stream *flusso = nullptr;
    std::optional<Pronto> inAttesa; // waiting for the connection, or for the stream being made
    bool dopoLaRisposta = false; // inAttesa waits for the server to answer for the stream being made
    QByteArray corrente; // the samples of the sound playing
    size_t scritti = 0;
};

} // namespace

// The sound thread and the hand-over of a path to it, which only takes the mutex for the time of a
// move and bumps an eventfd the thread watches. (The sound loop's own wake-up call is lost when it
// comes while the loop is not yet waiting, so it is not used.) Everything else runs on the thread.
//
// Until a sound server is there, the thread waits on the eventfd alone and each sound only looks for
// a server: without one it is silent, as it would be anyway, and the server's client library is
// never loaded. The first sound that finds a server loads the library, starts the sound loop on the
// same eventfd and is played through it; from then on the loop serves every sound.
struct RiproduttorePulse::Motore {
    Motore()
        : campanello(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        if (campanello < 0)
            return; // no sound at all, which the game is ready for
        filo = std::thread([this] {
            std::optional<Richiesta> primo = attendiServer();
            if (!primo)
                return;
            ciclo = pa_mainloop_new();
            if (!ciclo)
                return; // no library: silent, the requests pile up nowhere
            pa_mainloop_api *api = pa_mainloop_get_api(ciclo);
            lettore.emplace(api);
            api->io_new(api, campanello, PA_IO_EVENT_INPUT, &Motore::chiamato, this);
            lettore->accetta(*primo);
            pa_mainloop_run(ciclo, nullptr);
            lettore->ferma();
            lettore->chiudiContesto();
        });
    }

    ~Motore()
    {
        if (filo.joinable()) {
            {
                const std::lock_guard blocco(mutex);
                fine = true;
            }
            bussa();
            filo.join();
        }
        if (ciclo)
            pa_mainloop_free(ciclo); // with the events still on it
        if (campanello >= 0)
            ::close(campanello);
    }

    void chiedi(const QString &percorso, bool soloSeGiocabile)
    {
        if (campanello < 0)
            return;
        {
            const std::lock_guard blocco(mutex);
            richiesta = Richiesta {percorso, Orologio::now(), soloSeGiocabile};
        }
        bussa();
    }

    void bussa()
    {
        const quint64 uno = 1;
        [[maybe_unused]] const auto scritto = ::write(campanello, &uno, sizeof uno);
    }

    // The request waiting, if any; nothing once the player is closing (`chiusura` then says so).
    std::optional<Richiesta> prendi(bool *chiusura)
    {
        quint64 volte = 0;
        [[maybe_unused]] const auto letto = ::read(campanello, &volte, sizeof volte);
        const std::lock_guard blocco(mutex);
        *chiusura = fine;
        if (fine)
            return std::nullopt;
        return std::exchange(richiesta, std::nullopt);
    }

    // On the thread, before any sound server was found: each sound looks for one. The first sound
    // that finds one and loads the library, or nothing when the player closes first.
    std::optional<Richiesta> attendiServer()
    {
        for (;;) {
            pollfd attesa {campanello, POLLIN, 0};
            if (::poll(&attesa, 1, -1) < 0 && errno != EINTR)
                return std::nullopt;
            bool chiusura = false;
            std::optional<Richiesta> r = prendi(&chiusura);
            if (chiusura)
                return std::nullopt;
            if (r && serverpulse::presente() && pulsetardiva::carica())
                return r;
        }
    }

    static void chiamato(pa_mainloop_api *, pa_io_event *, int, pa_io_event_flags_t, void *dati)
    {
        auto *m = static_cast<Motore *>(dati);
        bool chiusura = false;
        const std::optional<Richiesta> r = m->prendi(&chiusura);
        if (chiusura)
            pa_mainloop_quit(m->ciclo, 0);
        else if (r)
            m->lettore->accetta(*r);
    }

    pa_mainloop *ciclo = nullptr; // made on the thread, once a server is there
    std::optional<Lettore> lettore;

    std::mutex mutex; // guards richiesta and fine
    std::optional<Richiesta> richiesta;
    bool fine = false;

    int campanello; // eventfd: a path is waiting, or the end
    std::thread filo; // started once everything above is in place
};

RiproduttorePulse::RiproduttorePulse() = default;
RiproduttorePulse::~RiproduttorePulse() = default;

void RiproduttorePulse::suona(const QString &percorso)
{
    if (!motore)
        motore = std::make_unique<Motore>();
    motore->chiedi(percorso, false);
}

void RiproduttorePulse::suonaSeGiocabile(const QString &percorso)
{
    if (!motore)
        motore = std::make_unique<Motore>();
    motore->chiedi(percorso, true);
}
