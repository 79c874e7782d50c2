#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The windows under a window manager (openbox), as in a classroom: the start window in the middle of
the screen, the game window where the start window was, the help box wide enough for its whole title,
and the menus from the keyboard: F10 and the arrows reach "Esci" and Enter asks the exit question,
with no error counted, with the drawn keyboard and with the PC keyboard."""

import subprocess
import time

import os

from batticco_e2e import (esegui, png, AIUTAMI, AREA, TWIPS, Gioco, Sessione, aspetta, cartella_dati, log, scuro,
                          verifica)


def centro(g):
    return g[0] + g[2] / 2, g[1] + g[3] / 2


def testo_titolo(schermo, g, altezza):
    """Columns of the title bar's label that differ from its background: (prima, ultima), or None.
    openbox lays the bar out as icon, label, then the buttons on the right."""
    x, y, w, _ = g
    colonne = []
    for i in range(22, w - 58):
        for j in range(3, altezza - 3):
            fondo = schermo(x + 21, y + j)
            c = schermo(x + i, y + j)
            if any(abs(((c >> s) & 0xFF) - ((fondo >> s) & 0xFF)) > 0x50 for s in (0, 8, 16)):
                colonne.append(i)
                break
    return (colonne[0], colonne[-1]) if colonne else None


def main(eseguibile):
    with Sessione("finestre") as s:
        s.avvia_x()
        s.avvia_gestore_finestre()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        programma = s.avvia_programma(cartella)
        avvio = s.finestra_avvio(programma)
        esterna = aspetta(lambda: (lambda g: g if s.cornice(avvio)[2] > 0 else None)(s.geometria_esterna(avvio)),
                          "la cornice della finestra d'avvio")
        log(f"finestra d'avvio {esterna}, cornice {s.cornice(avvio)}")
        cx, cy = centro(esterna)
        verifica(abs(cx - 512) <= 2 and abs(cy - 384) <= 3, f"la finestra d'avvio non è al centro: {esterna}")

        # The game window opens where the start window was: the same middle.
        s.tasto(avvio, "Return")
        finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0],
                                       descrizione="la finestra del gioco")
        gioco_esterna = aspetta(lambda: (lambda g: g if s.cornice(finestra)[2] > 0 else None)(
            s.geometria_esterna(finestra)), "la cornice del gioco")
        log(f"gioco {gioco_esterna}")
        gx, gy = centro(gioco_esterna)
        verifica(abs(gx - cx) <= 2 and abs(gy - cy) <= 2,
                 f"il gioco {gioco_esterna} non si apre dove era la finestra d'avvio {esterna}")
        gioco = Gioco(s, finestra)

        def errati():
            # The counter's digits, right of "Errati".
            return s.schermata().regione(*gioco.rettangolo_schermo((7770 // TWIPS, 1650 // TWIPS, 57, 26)))
        errati_0 = errati()

        # The help box: its title bar shows the whole "Batticco", as wide as in a wide window.
        riferimento = s.avvia_processo(["xmessage", "-title", "Batticco", "-geometry", "+20+20",
                                        "una finestra larga, per vedere il titolo intero"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        larga = s.finestra_visibile(nome="^Batticco$", descrizione="la finestra di riferimento")
        s.x("xdotool", "windowactivate", "--sync", str(larga), controlla=False)
        time.sleep(0.3)
        su = s.cornice(larga)[2]
        atteso = testo_titolo(s.schermata(), s.geometria_esterna(larga), su)
        verifica(atteso and atteso[1] - atteso[0] > 20, f"il titolo di riferimento non si legge: {atteso}")
        riferimento.terminate()
        aspetta(lambda: s.geometria(larga) is None, "la finestra di riferimento si chiude")
        gioco.clic_rettangolo(AIUTAMI)
        aiuto = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="il messaggio di Aiutami")
        time.sleep(0.3)
        scatola = s.geometria_esterna(aiuto)
        schermo = s.schermata(os.path.join(s.temp, "aiuto.ppm"))
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            png(os.path.join(s.temp, "aiuto.ppm"), os.environ["BATTICCO_E2E_SCHERMATE"] + "-aiuto.png")
        letto = testo_titolo(schermo, scatola, s.cornice(aiuto)[2])
        log(f"messaggio {scatola}: titolo {letto}, in una finestra larga {atteso}")
        verifica(letto and letto[1] - letto[0] >= atteso[1] - atteso[0] - 1,
                 f"il titolo del messaggio è tagliato: {letto} contro {atteso}")
        s.tasto(aiuto, "Return")
        aspetta(lambda: s.geometria(aiuto) is None, "il messaggio di Aiutami si chiude")

        def domanda_e_no(tasti, cosa):
            s.tasto(finestra, *tasti)
            domanda = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione=f"la domanda dopo {cosa}")
            s.tasto(domanda, "Escape")
            aspetta(lambda: s.geometria(domanda) is None, "la domanda si chiude con Esc")
            time.sleep(0.5)
            verifica(errati() == errati_0, f"{cosa} conta un errore")
            log(f"{cosa}: la domanda, nessun errore")

        # The drawn keyboard: F10, four times right to Esci, Enter.
        domanda_e_no(["F10", "Right", "Right", "Right", "Right", "Return"], "F10 e le frecce (tastiera disegnata)")
        # The PC keyboard chosen from the keyboard: Opzioni opens on batticchi, right opens it, the second entry.
        s.tasto(finestra, "F10", "Right", "Right", "Right", "Down", "Return")
        aspetta(lambda: s.schermata()(*gioco.centro_tasto("q")) == 0x00FFFF, "i tasti disegnati spariscono")
        time.sleep(0.5)
        verifica(errati() == errati_0, "scegliere la tastiera del PC dai menu conta un errore")
        domanda_e_no(["F10", "Right", "Right", "Right", "Right", "Return"], "F10 e le frecce (tastiera del PC)")
        domanda_e_no(["F10", "Right", "Escape", "Escape", "alt+e", "Return"], "un menu chiuso con Esc, poi Alt+E (tastiera del PC)")
        # The box still takes the child's letters.
        s.scrivi(finestra, "c")
        aspetta(lambda: errati() == errati_0 and s.schermata().regione(
            *gioco.rettangolo_schermo((2280 // TWIPS + 10, 3840 // TWIPS + 10, 20, 20))) != [0xFFFFFF] * 400,
            "la C nella prima casella")
        s.tasto(finestra, "F10", "Left", "Return")
        domanda = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="la domanda con F10 e sinistra")
        s.tasto(domanda, "Return")
        stato = s.aspetta_uscita()
        verifica(stato == 0, f"il programma è uscito con {stato}")


if __name__ == "__main__":
    esegui(main)
