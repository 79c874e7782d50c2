// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game window as designed: twips, points and 0x00BBGGRR colours, one row per control in the
// order a reader checks them against the window.

#include "game/riquadroFigura.h"
#include "ui/colori.h"
#include "ui/menu.h"
#include "ui/twips.h"

#include <array>

namespace lettereDesign
{

inline constexpr int larghezza = 9360; // client area, below the menu bar
inline constexpr int altezza = 7200;
inline constexpr quint32 coloreSfondo = 0x00FFFF00; // cyan, never changed

struct Etichetta {
    twips::Rettangolo rettangolo;
    const char *testo;
    twips::Carattere carattere;
};

inline constexpr twips::Rettangolo Image1 = riquadroFigura::rettangolo; // {2760, 120, 3495, 3495}
inline constexpr twips::Rettangolo ComandoIconaSi = {7320, 360, 975, 855};
inline constexpr twips::Rettangolo ComandoIconaNo = {7320, 360, 975, 855};

// The four labels paint no background of their own: the window's cyan shows through.
inline constexpr Etichetta Label3 = {{6930, 1380, 735, 375}, "Esatti", {"Arial", 12, true}};
inline constexpr Etichetta Label2 = {{6930, 1770, 735, 495}, "Errati", {"Arial", 12, true}};
inline constexpr Etichetta EtichettaEsatti = {{7770, 1260, 975, 615}, "quantiesatti", {"Arial", 18, true}};
inline constexpr Etichetta EtichettaErrati = {{7800, 1650, 855, 615}, "quantierrati", {"Arial", 18, true}};
inline constexpr quint32 coloreTestoEtichette = colori::testoFinestra;

inline constexpr Etichetta Command1 = {{6840, 2520, 1935, 975}, "avanti", {"Arial", 14.25, true}};
inline constexpr Etichetta SSCommand1 = {{360, 2280, 1920, 1185}, "Aiutami", {"Arial", 14.25, false}};

// The letter row: two arrays of six sharing the same rectangles; neighbours overlap by 15 twips.
inline constexpr int caselle = 6;
inline constexpr int casellaLeft0 = 2280;
inline constexpr int casellaPasso = 720;
inline constexpr int casellaTop = 3840;
inline constexpr int casellaLato = 735;
constexpr twips::Rettangolo casella(int i)
{
    return {casellaLeft0 + casellaPasso * i, casellaTop, casellaLato, casellaLato};
}
inline constexpr twips::Carattere fontCaselle = {"Arial", 24, true};
inline constexpr const char *testoText1 = "Text1";
inline constexpr const char *testoLabel1 = "Label1";
inline constexpr quint32 sfondoLabel1 = 0x00FFFFFF;
inline constexpr quint32 testoLabel1Colore = colori::testoPulsante;

// The on-screen keyboard, by key index. Indexes run along the rows from the left, except the three
// rightmost keys of the top row (23, 22, 21) and the two rightmost of the middle row (24, 25).
struct Tasto {
    const char *lettera;
    int left;
    int top;
};
inline constexpr int numeroTasti = 26;
inline constexpr int tastoLarghezza = 615;
inline constexpr int tastoAltezza = 495;
inline constexpr twips::Carattere fontTasti = {"Times New Roman", 19.5, true};
inline constexpr std::array<Tasto, numeroTasti> tasti = {{
    {"q", 120, 5040},
    {"w", 960, 5040},
    {"e", 1800, 5040},
    {"r", 2640, 5040},
    {"t", 3480, 5040},
    {"y", 4320, 5040},
    {"u", 5160, 5040},
    {"a", 600, 5640},
    {"s", 1440, 5640},
    {"d", 2280, 5640},
    {"f", 3120, 5640},
    {"g", 3960, 5640},
    {"h", 4800, 5640},
    {"j", 5640, 5640},
    {"z", 960, 6240},
    {"x", 1800, 6240},
    {"c", 2640, 6240},
    {"v", 3480, 6240},
    {"b", 4320, 6240},
    {"n", 5160, 6240},
    {"m", 6000, 6240},
    {"p", 7680, 5040},
    {"o", 6840, 5040},
    {"i", 6000, 5040},
    {"k", 6480, 5640},
    {"l", 7320, 5640},
}};
constexpr twips::Rettangolo tasto(int i)
{
    return {tasti[std::size_t(i)].left, tasti[std::size_t(i)].top, tastoLarghezza, tastoAltezza};
}

// Tab order: keys 0 to 20, help, keys 21, 22, 23, 25, 24, the letter boxes, then "avanti".
inline constexpr std::array<int, 5> tastiDopoAiuto = {21, 22, 23, 25, 24};

// The menu bar. Trailing spaces are part of the captions: they widen the entries on the bar.
inline constexpr std::array<menu::Voce, 15> menu = {{
    {1, "mnuAzzera", "Azzera conteggio          ", false},
    {1, "mnuParole", "Scegli lista di parole           ", false},
    {2, "mnu3", "parole di 3 lettere", false},
    {2, "mnu4", "parole di 4 lettere", true},
    {2, "mnu5", "parole di 5 lettere", false},
    {2, "mnu6", "parole di 6 lettere", false},
    {1, "mnuOpzioni", "Opzioni          ", false},
    {2, "mnubatticchi", "batticchi", false},
    {3, "mnuVideo", "usa la battico in video", true},
    {3, "mnuPc", "usa la batticco del PC", false},
    {2, "mnucaratteri", "caratteri", false},
    {3, "mnumaiuscoli", "maiuscoli", true},
    {3, "mnuminuscoli", "minuscoli", false},
    {1, "mnuInforma", "Informazioni           ", false},
    {1, "mnuEsci", "Esci", false},
}};

static_assert(twips::intero(Image1) && twips::intero(ComandoIconaSi) && twips::intero(Label3.rettangolo)
    && twips::intero(Label2.rettangolo) && twips::intero(EtichettaEsatti.rettangolo)
    && twips::intero(EtichettaErrati.rettangolo) && twips::intero(Command1.rettangolo)
    && twips::intero(SSCommand1.rettangolo));
static_assert(twips::intero(casella(0)) && twips::intero(casella(5)) && twips::intero(tasto(0)));

} // namespace lettereDesign
