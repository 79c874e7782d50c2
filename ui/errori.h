// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The error boundary of every event handler, over the error type and the system's reasons of base/.
#include "base/errore.h"
#include "base/motivi.h"

#include <QString>

#include <exception>
#include <utility>

class Messaggi;

// Ends the program: the production one leaves the event loop with the given status.
class Uscita
{
public:
    virtual ~Uscita() = default;
    virtual void termina(int stato) = 0;
};

class UscitaQt final : public Uscita
{
public:
    void termina(int stato) override;
};

// Reports an error in a message box and ends the program with a non-zero status.
void riportaErrore(Messaggi &messaggi, Uscita &uscita, const QString &messaggio);

// The boundary around an event handler: no exception ever reaches Qt's event loop.
template <typename Gestore>
void protetto(Messaggi &messaggi, Uscita &uscita, Gestore &&gestore)
{
    try {
        std::forward<Gestore>(gestore)();
    } catch (const Errore &e) {
        riportaErrore(messaggi, uscita, e.messaggio());
    } catch (const std::exception &e) {
        riportaErrore(messaggi, uscita, QString::fromLocal8Bit(e.what()));
    }
}
