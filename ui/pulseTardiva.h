// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sound server's client library (libpulse) is not linked to the programs: it is loaded the first
// time a sound server is there to talk to. With it come a sound-file library and its codecs (FLAC,
// Vorbis, Opus, MP3), over a megabyte of memory that a machine without a sound server, such as a
// school PC with no sound card, would hold for nothing. The pa_* functions the programs call are
// defined in pulseTardiva.cpp and pass each call on to the library once it is loaded.
namespace pulsetardiva
{

// Loads the library, once for the whole program; false when it cannot be loaded, and then there is
// no sound. Safe to call from several threads at once. pa_mainloop_new() and
// pa_threaded_mainloop_new() load it themselves and give nullptr without it: every other pa_*
// function is only ever called on what one of them made.
bool carica();

} // namespace pulsetardiva
