// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Messaggi;
struct Piattaforma;

// Start-up: seeds nothing itself (the platform's generator was seeded from the clock when it was
// made), creates the start window and shows it without waiting for it.
void avvio(Piattaforma &piattaforma);

// Deletes every window still open, each with its own children; the program ends after this.
void chiudiFinestre();

// The information box: four lines joined by CR LF, no line end after the last.
QString testoInformazioni();
void mostraInformazioni(Messaggi &messaggi);

// The letter-case mappings of the PC keyboard: only a-z and A-Z change. The code is changed in
// place and returned as well.
qint16 tastoInMaiuscolo(qint16 &carattere);
qint16 tastoInMinuscolo(qint16 &carattere);
