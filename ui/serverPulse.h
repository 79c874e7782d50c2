// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the game's programs reach the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service), shared by the sound player and the editor's recorder. Nothing here writes anything:
// the server is looked for where it already is (never by creating a runtime folder), no server is
// ever started, and where the user has no cookie file none is made; a server of the same user lets
// its user in by the socket's credentials.

#include <pulse/context.h>

namespace serverpulse
{

// Who connects, as the server shows it.
struct Cliente {
    const char *nome; // e.g. "Batticco"
    const char *id; // the desktop file's id
    const char *ruolo; // media role: "game", "production"...
};

// Whether a server is there to connect to: one the user chose (PULSE_SERVER) or a socket of a running
// server of this user. Only looks; loads nothing.
bool presente();

// A new context on `api`, already connecting to the user's running server, with `stato` as its state
// callback. nullptr, and nothing left behind, when no server is running or the connection cannot start.
pa_context *connetti(pa_mainloop_api *api, const Cliente &cliente, pa_context_notify_cb_t stato, void *dati);

// Undoes connetti(): callback off, disconnected, freed. Takes nullptr.
void chiudi(pa_context *contesto);

} // namespace serverpulse
