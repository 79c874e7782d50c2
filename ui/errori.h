// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

class QFileDevice;

// The system's reasons, in Italian. A failed file operation's reason as the system gives it (an
// errno, or the text Qt made of one) becomes the words a teacher reads: "permesso negato", "il disco
// è pieno". A reason with no Italian wording is kept as the system says it.
namespace motivi
{

// The reason for errno `numero`.
QString diSistema(int numero);

// The reason for the last failure of `file` (an open, a read, a write or a QSaveFile's commit). A
// write that failed on a disk with no room left says so even when the system gave no reason.
QString diFile(const QFileDevice &file);

// A message's text as it may go to a terminal: control characters (a NUL, an escape) are written
// as their code, [U+0000], so that none cuts the text short or acts on the terminal; line ends and
// tabs stay.
QString visibile(const QString &testo);

} // namespace motivi
