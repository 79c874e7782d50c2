// SPDX-License-Identifier: GPL-3.0-or-later
// The pa_* functions the programs call, each passing the call on to libpulse, loaded at the first
// need (pulseTardiva.h says why). A function's own address in the library is looked up once.
#include "ui/pulseTardiva.h"

#include <QtGlobal>

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/sample.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <atomic>
#include <mutex>

#include <dlfcn.h>

namespace
{

std::once_flag aperta;
std::atomic<void *> libreria {nullptr};

void *indirizzo(const char *nome)
{
    void *f = pulsetardiva::carica() ? ::dlsym(libreria.load(), nome) : nullptr;
    // Only reached on an object the library made, so the library is there; a libpulse without one of
    // these functions (all older than version 1.0) is no libpulse the program was built for.
    if (!f)
        qFatal("libpulse: manca la funzione %s", nome);
    return f;
}

} // namespace

namespace pulsetardiva
{

bool carica()
{
    std::call_once(aperta, [] { libreria = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL); });
    return libreria.load() != nullptr;
}

} // namespace pulsetardiva

// nome(parametri) calls the library's nome with argomenti.
#define BATTICCO_TARDIVA(ritorno, nome, parametri, argomenti)                                                \
    extern "C" ritorno nome parametri                                                                        \
    {                                                                                                        \
        static const auto vera = reinterpret_cast<decltype(&::nome)>(indirizzo(#nome));                      \
        return vera argomenti;                                                                               \
    }

// The two functions every use of the library starts with: without the library, nothing is made.
extern "C" pa_mainloop *pa_mainloop_new(void)
{
    if (!pulsetardiva::carica())
        return nullptr;
    static const auto vera = reinterpret_cast<decltype(&::pa_mainloop_new)>(indirizzo("pa_mainloop_new"));
    return vera();
}

extern "C" pa_threaded_mainloop *pa_threaded_mainloop_new(void)
{
    if (!pulsetardiva::carica())
        return nullptr;
    static const auto vera
        = reinterpret_cast<decltype(&::pa_threaded_mainloop_new)>(indirizzo("pa_threaded_mainloop_new"));
    return vera();
}

BATTICCO_TARDIVA(void, pa_mainloop_free, (pa_mainloop * m), (m))
BATTICCO_TARDIVA(int, pa_mainloop_run, (pa_mainloop * m, int *r), (m, r))
BATTICCO_TARDIVA(pa_mainloop_api *, pa_mainloop_get_api, (pa_mainloop * m), (m))
BATTICCO_TARDIVA(void, pa_mainloop_quit, (pa_mainloop * m, int r), (m, r))

BATTICCO_TARDIVA(void, pa_threaded_mainloop_free, (pa_threaded_mainloop * m), (m))
BATTICCO_TARDIVA(int, pa_threaded_mainloop_start, (pa_threaded_mainloop * m), (m))
BATTICCO_TARDIVA(void, pa_threaded_mainloop_stop, (pa_threaded_mainloop * m), (m))
BATTICCO_TARDIVA(void, pa_threaded_mainloop_lock, (pa_threaded_mainloop * m), (m))
BATTICCO_TARDIVA(void, pa_threaded_mainloop_unlock, (pa_threaded_mainloop * m), (m))
BATTICCO_TARDIVA(pa_mainloop_api *, pa_threaded_mainloop_get_api, (pa_threaded_mainloop * m), (m))

BATTICCO_TARDIVA(pa_context *, pa_context_new_with_proplist,
    (pa_mainloop_api * api, const char *nome, const pa_proplist *p), (api, nome, p))
BATTICCO_TARDIVA(void, pa_context_unref, (pa_context * c), (c))
BATTICCO_TARDIVA(
    void, pa_context_set_state_callback, (pa_context * c, pa_context_notify_cb_t f, void *d), (c, f, d))
BATTICCO_TARDIVA(pa_context_state_t, pa_context_get_state, (const pa_context *c), (c))
BATTICCO_TARDIVA(int, pa_context_connect,
    (pa_context * c, const char *server, pa_context_flags_t opzioni, const pa_spawn_api *avvio),
    (c, server, opzioni, avvio))
BATTICCO_TARDIVA(void, pa_context_disconnect, (pa_context * c), (c))
BATTICCO_TARDIVA(int, pa_context_load_cookie_from_file, (pa_context * c, const char *file), (c, file))

BATTICCO_TARDIVA(pa_proplist *, pa_proplist_new, (void), ())
BATTICCO_TARDIVA(void, pa_proplist_free, (pa_proplist * p), (p))
BATTICCO_TARDIVA(
    int, pa_proplist_sets, (pa_proplist * p, const char *chiave, const char *valore), (p, chiave, valore))

BATTICCO_TARDIVA(pa_stream *, pa_stream_new,
    (pa_context * c, const char *nome, const pa_sample_spec *tipo, const pa_channel_map *canali),
    (c, nome, tipo, canali))
BATTICCO_TARDIVA(void, pa_stream_unref, (pa_stream * s), (s))
BATTICCO_TARDIVA(pa_stream_state_t, pa_stream_get_state, (const pa_stream *s), (s))
BATTICCO_TARDIVA(int, pa_stream_connect_playback,
    (pa_stream * s, const char *dispositivo, const pa_buffer_attr *attributi, pa_stream_flags_t opzioni,
        const pa_cvolume *volume, pa_stream *sincrono),
    (s, dispositivo, attributi, opzioni, volume, sincrono))
BATTICCO_TARDIVA(int, pa_stream_connect_record,
    (pa_stream * s, const char *dispositivo, const pa_buffer_attr *attributi, pa_stream_flags_t opzioni),
    (s, dispositivo, attributi, opzioni))
BATTICCO_TARDIVA(int, pa_stream_disconnect, (pa_stream * s), (s))
BATTICCO_TARDIVA(int, pa_stream_write,
    (pa_stream * s, const void *dati, size_t n, pa_free_cb_t libera, int64_t scarto, pa_seek_mode_t modo),
    (s, dati, n, libera, scarto, modo))
BATTICCO_TARDIVA(int, pa_stream_peek, (pa_stream * s, const void **dati, size_t *n), (s, dati, n))
BATTICCO_TARDIVA(int, pa_stream_drop, (pa_stream * s), (s))
BATTICCO_TARDIVA(size_t, pa_stream_readable_size, (const pa_stream *s), (s))
BATTICCO_TARDIVA(
    pa_operation *, pa_stream_drain, (pa_stream * s, pa_stream_success_cb_t f, void *d), (s, f, d))
BATTICCO_TARDIVA(
    void, pa_stream_set_state_callback, (pa_stream * s, pa_stream_notify_cb_t f, void *d), (s, f, d))
BATTICCO_TARDIVA(
    void, pa_stream_set_write_callback, (pa_stream * s, pa_stream_request_cb_t f, void *d), (s, f, d))
BATTICCO_TARDIVA(
    void, pa_stream_set_read_callback, (pa_stream * s, pa_stream_request_cb_t f, void *d), (s, f, d))

BATTICCO_TARDIVA(void, pa_operation_unref, (pa_operation * o), (o))
BATTICCO_TARDIVA(int, pa_sample_spec_valid, (const pa_sample_spec *tipo), (tipo))
BATTICCO_TARDIVA(size_t, pa_usec_to_bytes, (pa_usec_t t, const pa_sample_spec *tipo), (t, tipo))
BATTICCO_TARDIVA(struct timeval *, pa_gettimeofday, (struct timeval * t), (t))
BATTICCO_TARDIVA(struct timeval *, pa_timeval_add, (struct timeval * t, pa_usec_t v), (t, v))
