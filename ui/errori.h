// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/motivi.h"

#include <QString>

#include <exception>
#include <utility>

class Messaggi;

// The one error type. It is thrown where a thing goes wrong (a missing list, a picture that does
// not decode, a list too long) and caught only at the boundary around each event handler.
class Errore : public std::exception
{
public:
    explicit Errore(QString messaggio) : testo(std::move(messaggio)), utf8(testo.toUtf8()) { }
    const QString &messaggio() const { return testo; }
    const char *what() const noexcept override { return utf8.constData(); }

private:
    QString testo;
    QByteArray utf8;
};

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
