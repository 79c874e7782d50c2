#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program on the desktop: its windows carry the window class its launcher names (StartupWMClass in
the desktop entry), and a message box opened while none of its windows is active (another program
holds the focus) opens over the game window, not in the middle of the screen."""

import configparser
import os
import subprocess

from batticco_e2e import esegui, AIUTAMI, AREA, Gioco, Sessione, cartella_dati, log, verifica

VOCE_DESKTOP = os.path.join(os.path.dirname(__file__), "..", "..", "packaging", "batticco.desktop")


def classe_finestra(s, finestra):
    """WM_CLASS as (instance, class), from xprop."""
    riga = s.x("xprop", "-id", str(finestra), "WM_CLASS").strip()
    verifica("=" in riga, f"nessuna WM_CLASS: {riga!r}")
    parti = [p.strip().strip('"') for p in riga.split("=", 1)[1].split(",")]
    verifica(len(parti) == 2, f"WM_CLASS inattesa: {riga!r}")
    return tuple(parti)


def main(eseguibile):
    voce = configparser.ConfigParser(interpolation=None)
    voce.optionxform = str
    voce.read(VOCE_DESKTOP, encoding="utf-8")
    classe_attesa = voce["Desktop Entry"].get("StartupWMClass")
    verifica(classe_attesa, "la voce del menu non dice StartupWMClass")

    with Sessione("scrivania") as s:
        s.avvia_x()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        programma = s.avvia_programma(cartella)
        avvio = s.finestra_avvio(programma)
        verifica(classe_attesa in classe_finestra(s, avvio),
                 f"la finestra d'avvio ha WM_CLASS {classe_finestra(s, avvio)}, la voce dice {classe_attesa!r}")

        # Avvio by mouse: no window manager, so no window of the program is ever active.
        x, y, _, _ = s.geometria(avvio)
        s.clic(x + 288, y + 316)
        finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0],
                                       descrizione="la finestra del gioco")
        verifica(classe_attesa in classe_finestra(s, finestra), "la finestra del gioco ha un'altra WM_CLASS")
        gioco = Gioco(s, finestra)
        # Another program holds the keyboard focus, as when the teacher has a browser open.
        altro = s.avvia_processo(["xmessage", "-geometry", "+700+600", "altro programma"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finestra_altra = s.finestra_visibile(nome="^xmessage$", descrizione="l'altro programma")
        s.x("xdotool", "windowfocus", "--sync", str(finestra_altra))
        gioco.clic_rettangolo(AIUTAMI)
        aiuto = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="il messaggio di Aiutami")
        bx, by, bw, bh = s.geometria(aiuto)
        gx, gy, gw, gh = s.geometria(finestra)
        log(f"gioco {gx},{gy} {gw}x{gh}; messaggio {bx},{by} {bw}x{bh}")
        centro = (bx + bw // 2, by + bh // 2)
        verifica(gx <= centro[0] < gx + gw and gy <= centro[1] < gy + gh,
                 f"il messaggio si apre fuori dalla finestra del gioco: centro {centro}")
        verifica(abs(centro[0] - (gx + gw // 2)) <= bw // 2, f"il messaggio non è centrato sul gioco: {centro}")
        s.tasto(aiuto, "Return")


if __name__ == "__main__":
    esegui(main)
