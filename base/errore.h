// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The bottom layer of the core library: what every other layer (ui/, game/, feedback/, app/ and the
// programs beside the game) may use, needing nothing but Qt Core.

#include <QByteArray>
#include <QString>

#include <exception>
#include <utility>

// The one error type. It is thrown where a thing goes wrong (a missing list, a picture that does
// not decode, a list too long) and caught only at the boundary around each event handler
// (`protetto`, in ui/errori.h).
class Errore : public std::exception
{
public:
    explicit Errore(QString messaggio)
        : testo(std::move(messaggio))
        , utf8(testo.toUtf8())
    {
    }
    const QString &messaggio() const { return testo; }
    const char *what() const noexcept override { return utf8.constData(); }

private:
    QString testo;
    QByteArray utf8;
};
