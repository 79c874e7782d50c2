// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Modal message boxes in the classic style: a text, a style value made of icon and button flags,
// and a title that defaults to the application's. The answer is the classic code of the button.
namespace stile
{
inline constexpr int soloOk = 0;
inline constexpr int siNo = 4;
inline constexpr int pulsanti = 0x0F;
inline constexpr int iconaErrore = 16;
inline constexpr int iconaDomanda = 32;
inline constexpr int iconaAvviso = 48;
inline constexpr int iconaInformazione = 64;
inline constexpr int icone = 0x70;
} // namespace stile

namespace risposta
{
inline constexpr int ok = 1;
inline constexpr int si = 6;
inline constexpr int no = 7;
} // namespace risposta

inline const QString titoloApplicazione = QStringLiteral("Batticco");

class Messaggi
{
public:
    virtual ~Messaggi() = default;
    // An empty title shows the application title.
    virtual int mostra(const QString &testo, int stile, const QString &titolo = QString()) = 0;
};

class QWidget;

// The window a message box belongs to and opens over: the active one, or else the game's main window
// (a box may open while another program is active, or when a screen reader presses a button).
QWidget *genitoreMessaggi();

class MessaggiQt final : public Messaggi
{
public:
    int mostra(const QString &testo, int stile, const QString &titolo = QString()) override;
};
