// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/registratore.h"

#include "ui/serverPulse.h"

#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

namespace
{

constexpr auto attesaServer = std::chrono::seconds(3);
constexpr std::size_t massimiCampioni = std::size_t(Registratore::frequenza) * Registratore::massimiSecondi;

const QString senzaServer
    = QStringLiteral("Non trovo il server dei suoni del desktop, così non posso registrare. Controlla che il "
                     "microfono sia collegato e che il computer abbia l'audio attivo.");
const QString senzaRisposta
    = QStringLiteral("Il server dei suoni del desktop non risponde: riprova tra poco.");
const QString senzaMicrofono = QStringLiteral(
    "Non trovo un microfono: collegalo (o sceglilo nelle impostazioni dell'audio) e riprova.");

} // namespace

// The callbacks run on the library's thread, with its lock held; the window's thread takes that lock
// to start and stop, and `mutex` alone to read what was recorded. Never both the other way round.
struct RegistratorePulse::Motore {
    Motore()
        : ciclo(pa_threaded_mainloop_new())
    {
        if (ciclo && pa_threaded_mainloop_start(ciclo) < 0) {
            pa_threaded_mainloop_free(ciclo);
            ciclo = nullptr;
        }
    }

    ~Motore()
    {
        if (!ciclo)
            return;
        pa_threaded_mainloop_lock(ciclo);
        chiudi();
        pa_threaded_mainloop_unlock(ciclo);
        pa_threaded_mainloop_stop(ciclo);
        pa_threaded_mainloop_free(ciclo);
    }

    void avvia()
    {
        {
            const std::lock_guard blocco(mutex);
            registrati.clear();
            picco = 0;
            messaggio.clear();
            stato = Stato::apertura;
        }
        if (!ciclo) {
            fallisci(senzaServer);
            return;
        }
        pa_threaded_mainloop_lock(ciclo);
        chiudi();
        pa_mainloop_api *api = pa_threaded_mainloop_get_api(ciclo);
        static constexpr serverpulse::Cliente editor {
            "Parole di Batticco", "io.github.batticco.Parole", "production"};
        contesto = serverpulse::connetti(api, editor, &Motore::statoContesto, this);
        if (contesto) {
            timeval quando {};
            pa_timeval_add(
                pa_gettimeofday(&quando), pa_usec_t(std::chrono::microseconds(attesaServer).count()));
            scadenza = api->time_new(api, &quando, &Motore::scaduto, this);
        } else {
            fallisci(senzaServer);
        }
        pa_threaded_mainloop_unlock(ciclo);
    }

    void ferma()
    {
        if (ciclo) {
            pa_threaded_mainloop_lock(ciclo);
            chiudi();
            pa_threaded_mainloop_unlock(ciclo);
        }
        const std::lock_guard blocco(mutex);
        if (stato == Stato::apertura || stato == Stato::registra)
            stato = registrati.empty() ? Stato::fermo : Stato::finita;
        picco = 0;
    }

    // Everything below runs with the library's lock held.
    static void statoContesto(pa_context *c, void *dati)
    {
        auto *m = static_cast<Motore *>(dati);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            m->fermaScadenza();
            m->apriFlusso();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            m->chiudi();
            m->fallisci(senzaServer);
            break;
        default:
            break;
        }
    }

    static void scaduto(pa_mainloop_api *, pa_time_event *, const timeval *, void *dati)
    {
        auto *m = static_cast<Motore *>(dati);
        m->chiudi();
        m->fallisci(senzaRisposta);
    }

    void apriFlusso()
    {
        const pa_sample_spec tipo {PA_SAMPLE_FLOAT32NE, uint32_t(frequenza), 1};
        flusso = pa_stream_new(contesto, "Voce della parola", &tipo, nullptr);
        if (!flusso) {
            chiudi();
            fallisci(senzaMicrofono);
            return;
        }
        pa_stream_set_state_callback(flusso, &Motore::statoFlusso, this);
        pa_stream_set_read_callback(flusso, &Motore::leggi, this);
        // Small pieces, so that the meter follows the voice.
        pa_buffer_attr attributi {};
        attributi.maxlength = uint32_t(-1);
        attributi.fragsize = uint32_t(pa_usec_to_bytes(50 * PA_USEC_PER_MSEC, &tipo));
        if (pa_stream_connect_record(flusso, nullptr, &attributi, PA_STREAM_ADJUST_LATENCY) < 0) {
            chiudi();
            fallisci(senzaMicrofono);
        }
    }

    static void statoFlusso(pa_stream *s, void *dati)
    {
        auto *m = static_cast<Motore *>(dati);
        switch (pa_stream_get_state(s)) {
        case PA_STREAM_READY: {
            const std::lock_guard blocco(m->mutex);
            if (m->stato == Stato::apertura)
                m->stato = Stato::registra;
            break;
        }
        case PA_STREAM_FAILED:
            m->chiudi();
            m->fallisci(senzaMicrofono);
            break;
        default:
            break;
        }
    }

    static void leggi(pa_stream *s, size_t, void *dati)
    {
        auto *m = static_cast<Motore *>(dati);
        bool piena = false;
        const void *byte = nullptr;
        size_t quanti = 0;
        while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &byte, &quanti) == 0 && quanti > 0) {
            // A hole (no data) counts as silence; a piece is whole samples.
            const std::size_t n = quanti / sizeof(float);
            {
                const std::lock_guard blocco(m->mutex);
                const std::size_t presi = std::min(n, massimiCampioni - m->registrati.size());
                float picco = 0;
                if (byte) {
                    const auto *f = static_cast<const float *>(byte);
                    m->registrati.insert(m->registrati.end(), f, f + presi);
                    for (std::size_t i = 0; i < presi; ++i)
                        picco = std::max(picco, std::abs(f[i]));
                } else {
                    m->registrati.insert(m->registrati.end(), presi, 0.0f);
                }
                m->picco = std::min(picco, 1.0f);
                piena = m->registrati.size() >= massimiCampioni;
                if (piena)
                    m->stato = Stato::finita;
            }
            pa_stream_drop(s);
            if (piena)
                break;
        }
        if (piena) {
            m->chiudi();
            const std::lock_guard blocco(m->mutex);
            m->picco = 0;
        }
    }

    void fallisci(const QString &perche)
    {
        const std::lock_guard blocco(mutex);
        if (stato != Stato::apertura && stato != Stato::registra)
            return;
        stato = Stato::errore;
        messaggio = perche;
        picco = 0;
    }

    void fermaScadenza()
    {
        if (scadenza) {
            pa_threaded_mainloop_get_api(ciclo)->time_free(scadenza);
            scadenza = nullptr;
        }
    }

    void chiudi()
    {
        fermaScadenza();
        if (flusso) {
            pa_stream_set_state_callback(flusso, nullptr, nullptr);
            pa_stream_set_read_callback(flusso, nullptr, nullptr);
            pa_stream_disconnect(flusso);
            pa_stream_unref(flusso);
            flusso = nullptr;
        }
        serverpulse::chiudi(std::exchange(contesto, nullptr));
    }

    pa_threaded_mainloop *ciclo;
    pa_context *contesto = nullptr;
    pa_stream *flusso = nullptr;
    pa_time_event *scadenza = nullptr;

    mutable std::mutex mutex; // guards what follows
    Stato stato = Stato::fermo;
    std::vector<float> registrati;
    float picco = 0;
    QString messaggio;
};

RegistratorePulse::RegistratorePulse() = default;
RegistratorePulse::~RegistratorePulse() = default;

void RegistratorePulse::avvia()
{
    if (!motore)
        motore = std::make_unique<Motore>();
    motore->avvia();
}

void RegistratorePulse::ferma()
{
    if (motore)
        motore->ferma();
}

Registratore::Stato RegistratorePulse::stato() const
{
    if (!motore)
        return Stato::fermo;
    const std::lock_guard blocco(motore->mutex);
    return motore->stato;
}

float RegistratorePulse::livello() const
{
    if (!motore)
        return 0;
    const std::lock_guard blocco(motore->mutex);
    return motore->picco;
}

std::vector<float> RegistratorePulse::campioni() const
{
    if (!motore)
        return {};
    const std::lock_guard blocco(motore->mutex);
    return motore->registrati;
}

QString RegistratorePulse::errore() const
{
    if (!motore)
        return {};
    const std::lock_guard blocco(motore->mutex);
    return motore->messaggio;
}
