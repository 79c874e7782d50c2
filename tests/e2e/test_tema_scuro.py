#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game on a desktop with a dark colour scheme, set the two ways desktops set it: the qt6ct
platform theme with its "darker" scheme and an 11-point font in the user's configuration, and GNOME's
way, with no platform theme named: Qt takes its GTK platform theme (qt6-gtk-platformtheme, which
Debian's Qt recommends) and the desktop portal's colour-scheme setting says dark (Qt 6.8's GTK theme
reads it at start-up and turns dark; Qt 6.4's never asks). Judged from screenshots: the title,
the spelled letter, the labels and counters are dark on their light backgrounds, the letter labels
keep their frames, the buttons a plain grey outline, the five menu entries all lie on the bar ("Esci"
answers where it is drawn), and an unchecked menu entry shows no empty box."""

import glob
import os
import re
import subprocess
import sys

from batticco_e2e import (esegui, AREA, AVVIO, CASELLA, TWIPS, Gioco, Sessione, aspetta, cartella_dati, log, png,
                          quanti_scuri, verifica, voci_barra)

TEMA = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqt6ct.so"
SCHEMA = "/usr/share/qt6ct/colors/darker.conf"
GTK = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so"


def configura_tema(s):
    """A user configuration for qt6ct: the darker scheme, an 11-point desktop font."""
    for percorso in (TEMA, SCHEMA):
        verifica(os.path.exists(percorso), f"{percorso} manca: tools/install-deps.sh installa qt6ct")
    config = os.path.join(s.temp, "config")
    os.makedirs(os.path.join(config, "qt6ct"))
    with open(os.path.join(config, "qt6ct", "qt6ct.conf"), "w", encoding="utf-8") as f:
        f.write("[Appearance]\n"
                f"color_scheme_path={SCHEMA}\n"
                "custom_palette=true\n"
                "style=Fusion\n"
                "\n[Fonts]\n"
                'fixed="Monospace,11,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\n'
                'general="Sans Serif,11,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\n')
    s.env["XDG_CONFIG_HOME"] = config
    s.env["QT_QPA_PLATFORMTHEME"] = "qt6ct"
    # qt6ct says when it is in use, and when a program's own palette made it stand aside.
    s.env["QT_LOGGING_RULES"] = "*.debug=false\nqt6ct.debug=true"


def configura_gnome(s):
    """A GNOME session's environment with a dark colour scheme: the desktop named, no platform theme
    or style named, and the portal on the session bus answering color-scheme 1 (dark)."""
    for chiave in ("QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "XDG_CONFIG_HOME"):
        s.env.pop(chiave, None)
    verifica(os.path.exists(GTK), f"{GTK} manca: tools/install-deps.sh installa qt6-gtk-platformtheme")
    s.env["XDG_CURRENT_DESKTOP"] = "GNOME"
    s.env["XDG_SESSION_DESKTOP"] = "gnome"
    # The GTK theme says which colour scheme it took, and when the portal's answer changed it.
    s.env["QT_LOGGING_RULES"] = "*.debug=false\nqt.qpa.gtk.debug=true"
    s.avvia_bus()
    registro = os.path.join(s.temp, "portale.log")
    open(registro, "w").close()
    s.avvia_processo([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "portale.py"), "1",
                      registro], stdout=subprocess.DEVNULL)
    aspetta(lambda: "pronto" in open(registro, encoding="utf-8").read(), "il portale sul bus")
    return registro


def versione_qt():
    """The version of the Qt libraries the program runs with, as (major, minor)."""
    for libreria in glob.glob("/usr/lib/*/libQt6Core.so.6.*") + glob.glob("/usr/lib/libQt6Core.so.6.*"):
        trovata = re.search(r"\.so\.6\.(\d+)", libreria)
        if trovata:
            return 6, int(trovata.group(1))
    return 6, 0


def grigio(c, scarto=8):
    r, g, b = (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF
    return max(r, g, b) - min(r, g, b) <= scarto


def salva(s, schermo_ppm, nome, ritaglio):
    """Keeps a picture of what was judged when BATTICCO_E2E_SCHERMATE names a folder."""
    cartella = os.environ.get("BATTICCO_E2E_SCHERMATE")
    if cartella:
        os.makedirs(cartella, exist_ok=True)
        png(schermo_ppm, os.path.join(cartella, nome), ritaglio)


def main(eseguibile):
    for modo in ("qt6ct", "gnome"):
        log(f"--- schema scuro: {modo}")
        with Sessione(f"tema-{modo}") as s:
            prova(s, eseguibile, modo)


def prova(s, eseguibile, modo):
    """One game under the dark scheme set the way modo says, judged from screenshots."""
    s.avvia_x()
    registro = configura_tema(s) if modo == "qt6ct" else configura_gnome(s)
    nome = "scuro" if modo == "qt6ct" else "gnome"
    cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
    programma = s.avvia_programma(cartella)
    ppm = os.path.join(s.temp, "schermo.ppm")

    # The start window: BATTICCO dark on the start colour, "Avvio" outlined in grey.
    avvio = s.finestra_avvio(programma)
    if modo == "gnome":
        with open(f"/proc/{programma.pid}/maps", encoding="utf-8") as f:
            verifica(GTK in f.read(), "il programma non ha caricato il tema GTK di Qt")
    if modo == "gnome" and versione_qt() >= (6, 8):
        # Judged once the desktop's dark scheme has reached Qt: the portal's answer comes after the
        # first windows may have been drawn.
        aspetta(lambda: "ColorScheme::Dark" in s.output_programma(), "lo schema scuro del portale in Qt")
    x, y, _, _ = s.geometria(avvio)
    schermo = aspetta(lambda: (lambda sc: sc if sc(x + 10, y + 10) != 0 else None)(s.schermata(ppm)),
                      "la finestra d'avvio dipinta")
    salva(s, ppm, f"{nome}-avvio.png", (x, y) + AVVIO)
    colore = schermo(x + 10, y + 10)
    titolo = quanti_scuri(schermo.regione(x + 56, y + 88, 476, 97))
    verifica(titolo > 2000, f"BATTICCO non si legge sullo sfondo #{colore:06X}: {titolo} pixel scuri")
    # Avvio: 2520, 4200, 3615 x 1095 twips; its left edge at mid-height is the outline.
    bordo = schermo(x + 168, y + 280 + 36)
    verifica(grigio(bordo) and bordo != colore, f"il bordo di Avvio è #{bordo:06X} su sfondo #{colore:06X}")
    log(f"avvio: sfondo #{colore:06X}, titolo {titolo} pixel scuri, bordo #{bordo:06X}")

    s.tasto(avvio, "Return")
    finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0],
                                   descrizione="la finestra del gioco")
    gioco = Gioco(s, finestra)
    log(f"barra dei menu alta {gioco.barra} px")

    # One right letter (the C of "CANE") and one wrong (Q): a letter, and a count of one error.
    gioco.clic_tasto("c")
    gioco.clic_tasto("q")
    left, top, lato, _ = CASELLA(0)
    cx, cy = gioco.punto(left // TWIPS, top // TWIPS)
    l = lato // TWIPS

    def lettera_scritta():
        sc = s.schermata(ppm)
        return sc if quanti_scuri(sc.regione(cx + 4, cy + 4, l - 8, l - 8)) > 100 else None
    schermo = aspetta(lettera_scritta, "la C scura nella prima casella")
    gx, gy = gioco.origine
    salva(s, ppm, f"{nome}-gioco.png", (gx, gy, AREA[0], AREA[1] + gioco.barra))
    verifica(schermo(cx + 6, cy + 6) == 0xFFFFFF, f"la casella non è bianca: #{schermo(cx + 6, cy + 6):06X}")
    # The frame: the label's outer lines are dark, the four boxes joined by shared lines.
    for nome, colonna in (("sinistro", [schermo(cx, cy + j) for j in range(2, l - 2)]),
                          ("in alto", [schermo(cx + i, cy) for i in range(2, 4 * (l - 1))])):
        verifica(quanti_scuri(colonna) == len(colonna), f"il bordo {nome} delle caselle non si vede")

    def scuri(r):
        return quanti_scuri(schermo.regione(*gioco.rettangolo_schermo(r)))
    for nome, r in (("Esatti", (6930 // TWIPS, 1380 // TWIPS, 49, 25)),
                    ("Errati", (6930 // TWIPS, 1770 // TWIPS, 49, 25)),
                    ("il conto di Esatti", (7770 // TWIPS, 1260 // TWIPS, 57, 26)),
                    ("il conto di Errati", (7800 // TWIPS, 1650 // TWIPS, 57, 30))):
        verifica(scuri(r) > 40, f"{nome} non si legge sull'azzurro: {scuri(r)} pixel scuri")
    bordo = schermo(*gioco.punto(360 // TWIPS, 2280 // TWIPS + 40))  # Aiutami's left edge
    verifica(grigio(bordo), f"il bordo di Aiutami è #{bordo:06X}, non grigio")

    # The menu bar: five entries, all on the window's width, none behind an overflow button.
    voci = voci_barra(schermo, gx, gy + 2, AREA[0], gioco.barra - 4)
    log("voci della barra:", voci)
    verifica(len(voci) == 5, f"la barra dei menu mostra {len(voci)} voci, non 5: {voci}")
    verifica(voci[4][1] - voci[4][0] > 15, f"l'ultima voce è troppo stretta per Esci: {voci[4]}")
    riga_barra = gy + gioco.barra // 2

    # The list menu: a mark beside "parole di 4 lettere" only, no empty box beside the others.
    s.clic((voci[1][0] + voci[1][1]) // 2, riga_barra)
    menu = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[1] >= gy + gioco.barra - 2
                               and g[2] < AREA[0] and g[3] < 200, descrizione="il menu delle liste")
    mx, my, mw, mh = s.geometria(menu)
    schermo = aspetta(lambda: (lambda sc: sc if quanti_scuri(sc.regione(mx, my, mw, mh)) > 200 else None)(
        s.schermata(ppm)), "il menu delle liste dipinto")
    salva(s, ppm, f"{nome}-menu.png", (gx, gy, AREA[0], 200))
    fondo = schermo(mx + mw - 3, my + mh // 2)
    verifica(grigio(fondo) and ((fondo >> 16) & 0xFF) > 0xD0, f"il menu non è chiaro: #{fondo:06X}")
    righe = 4
    altezza = (mh - 2) // righe
    segni = []
    for k in range(righe):
        # The check column: the menu's left part, before the captions.
        colonna = schermo.regione(mx + 2, my + 1 + k * altezza + 2, 24, altezza - 4)
        segni.append(sum(1 for c in colonna if c != fondo))
    log("pixel nella colonna dei segni, per voce:", segni)
    verifica(segni[1] > 10, f"parole di 4 lettere non mostra il segno: {segni}")
    verifica(segni[0] == segni[2] == segni[3] == 0, f"le voci non scelte mostrano una casella: {segni}")
    s.x("xdotool", "key", "Escape")
    aspetta(lambda: s.geometria(menu) is None, "il menu si chiude")

    # Esci where it is drawn: the exit question; Enter answers Yes and the program ends well.
    s.clic((voci[4][0] + voci[4][1]) // 2, riga_barra)
    domanda = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="la domanda di Esci")
    s.tasto(domanda, "Return")
    stato = s.aspetta_uscita()
    verifica(stato == 0, f"il programma è uscito con {stato}, non 0")

    uscita = s.output_programma()
    if modo == "qt6ct":
        verifica("using qt6ct plugin" in uscita, "il tema qt6ct non è stato caricato:\n" + uscita)
        # The desktop's dark palette stays the program's: only our windows keep their light design.
        verifica("palette support is disabled" not in uscita, "il programma ha scavalcato la tavolozza del desktop")
    else:
        domande = open(registro, encoding="utf-8").read()
        log("il portale ha risposto a:", domande.replace("\n", "; "))
        if versione_qt() >= (6, 8):
            verifica("org.freedesktop.appearance" in domande, "Qt non ha chiesto lo schema di colori al portale")
        else:
            # Qt 6.4's GTK theme never asks; the look is judged all the same.
            log("Qt", versione_qt(), "non chiede lo schema di colori al portale")

if __name__ == "__main__":
    esegui(main)
