#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game on Wayland: weston nested in a private X server (its X11 backend, drawn on the CPU), the
game a Wayland client of it, driven through weston's own window with the X keyboard and mouse. The
main checks of a game: the start window and "Avvio", the play area of its designed size, a wrong and a
right word with the drawn keyboard (Enter on the focused keys), the PC keyboard chosen through two levels of menus from the
keyboard, the help box, the exit question. Opening the submenus leaves Qt's Wayland plugin nothing to
warn about (a popup grabbed over the wrong parent)."""

import os
import subprocess
import sys
import time

from batticco_e2e import (esegui, png, AREA, TASTI, TWIPS, Sessione, aspetta, applicazione,
                          attivo, cartella_dati, log, nodi, verifica, visibile)

SALTATO = 77  # ctest's SKIP_RETURN_CODE
CIANO = 0x00FFFF
PRESA = "setGrabPopup"


def area_gioco(schermo):
    """The play area's rectangle on the screen: the bounding box of its cyan background."""
    xs, ys = [], []
    for y in range(0, schermo.altezza, 4):
        for x in range(0, schermo.larghezza, 4):
            if schermo(x, y) == CIANO:
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    x0, y0 = min(xs), min(ys)
    while x0 > 0 and schermo(x0 - 1, y0) == CIANO:
        x0 -= 1
    while y0 > 0 and schermo(x0, y0 - 1) == CIANO:
        y0 -= 1
    x1, y1 = x0, y0
    while x1 + 1 < schermo.larghezza and schermo(x1 + 1, y0) == CIANO:
        x1 += 1
    while y1 + 1 < schermo.altezza and schermo(x0, y1 + 1) == CIANO:
        y1 += 1
    return x0, y0, x1 - x0 + 1, y1 - y0 + 1


def main(eseguibile):
    with Sessione("wayland") as s:
        s.avvia_x("1024x768")
        s.casa_nuova()
        s.avvia_accessibilita()
        ini = os.path.join(s.temp, "weston.ini")
        with open(ini, "w") as f:
            # No panel, no screen lock, no on-screen keyboard of weston's own over the game.
            f.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                    "background-color=0xff404040\n[input-method]\npath=/bin/true\n")
        presa = "batticco-weston"
        registro = open(os.path.join(s.temp, "weston.log"), "w")
        weston = s.avvia_processo(["weston", f"--config={ini}", "--backend=x11-backend.so", "--use-pixman",
                                   f"--socket={presa}", "--width=1024", "--height=768"],
                                  stdout=registro, stderr=subprocess.STDOUT)
        fine = time.monotonic() + 20
        while not os.path.exists(os.path.join(s.env["XDG_RUNTIME_DIR"], presa)):
            if weston.poll() is not None or time.monotonic() > fine:
                registro.flush()
                with open(registro.name) as r:
                    ultime = r.read()[-600:]
                print(f"SALTATO: weston non parte nel server X di prova ({weston.poll()}):\n{ultime}")
                sys.exit(SALTATO)
            time.sleep(0.05)
        env = dict(s.env, WAYLAND_DISPLAY=presa, QT_QPA_PLATFORM="wayland")
        env.pop("DISPLAY")
        # Qt's Wayland plugin's warnings are the point; its debug stays quiet.
        env["QT_LOGGING_RULES"] = "*.debug=false;qt.qpa.wayland*.warning=true"
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        programma = s.avvia_programma(cartella, env=env)
        app = applicazione(programma.pid)
        verifica(app.toolkitName.lower().startswith("qt"), "il programma non è un programma Qt")

        # weston's window takes the X keyboard while the pointer is over it.
        s.x("xdotool", "mousemove", "1000", "750")

        def tasti(*t):
            s.x("xdotool", "key", "--delay", "150", *t)

        def cerca(ruolo, nome):
            return [n for r, nm, n in nodi(app) if r == ruolo and nm == nome and visibile(n)]

        def conto(nome):
            nomi = [nm for r, nm, n in nodi(app) if r == "label" and nm.startswith(nome + ":") and visibile(n)]
            verifica(len(nomi) == 1, f"etichette {nome}: {nomi}")
            return int(nomi[0].split(":")[1])

        aspetta(lambda: cerca("push button", "Avvio"), "la finestra d'avvio")
        time.sleep(0.5)
        tasti("Return")
        area = aspetta(lambda: (lambda a: a if a and a[2] > 100 else None)(area_gioco(s.schermata())),
                       "l'area del gioco sullo schermo")
        time.sleep(0.5)
        area = area_gioco(s.schermata(os.path.join(s.temp, "gioco.ppm")))
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            png(os.path.join(s.temp, "gioco.ppm"), os.environ["BATTICCO_E2E_SCHERMATE"] + "-wayland.png")
        log(f"area del gioco su Wayland: {area}")
        verifica(area[2:] == AREA, f"l'area del gioco è {area[2]}x{area[3]}, non {AREA[0]}x{AREA[1]}")
        verifica(not cerca("push button", "Avvio"), "la finestra d'avvio è ancora aperta")

        # weston's X11 backend takes no pointer from XTEST: the keys go through it, and the focus is put
        # on a drawn key through the screen readers' interface, as a switch user's software does.
        def premi_con_invio(nome):
            pulsante = aspetta(lambda: cerca("push button", nome), f"il pulsante {nome}")[0]
            pulsante.queryComponent().grabFocus()
            aspetta(lambda: pulsante.getState().contains(pyatspi.STATE_FOCUSED), f"il fuoco su {nome}")
            tasti("Return")

        # The drawn keyboard: a wrong letter, then the word.
        import pyatspi  # once the accessibility bus is up: it reads the bus's address on import
        premi_con_invio("Q")
        aspetta(lambda: conto("Errati") == 1, "un errore dopo Q")
        for lettera in "CANE":
            premi_con_invio(lettera)
        avanti = aspetta(lambda: [n for n in cerca("push button", "avanti") if attivo(n)], "avanti abilitato")
        premi_con_invio("avanti")
        aspetta(lambda: conto("Esatti") == 1, "una parola esatta")
        verifica(conto("Errati") == 1, f"errati: {conto('Errati')}")
        verifica(not attivo(avanti[0]), "avanti ancora abilitato nel nuovo turno")

        # The PC keyboard, through Opzioni and its submenu batticchi, from the keyboard.
        tasti("F10", "Right", "Right", "Right", "Down", "Return")
        aspetta(lambda: s.schermata()(area[0] + TASTI["q"][0] // TWIPS + 20, area[1] + TASTI["q"][1] // TWIPS + 16)
                == CIANO, "i tasti disegnati spariscono")
        caselle = aspetta(lambda: [n for r, nm, n in nodi(app) if r == "text" and nm.startswith("Lettera")
                                   and visibile(n)], "le caselle")
        verifica(len(caselle) == 4, f"{len(caselle)} caselle")
        tasti("c", "a", "n", "e")
        aspetta(lambda: [n for n in cerca("push button", "avanti") if attivo(n)], "avanti dopo c, a, n, e")
        verifica(conto("Errati") == 1, f"scrivere la parola conta {conto('Errati') - 1} errori")

        # The help box over the game; Enter closes it.
        premi_con_invio("Aiutami")
        aspetta(lambda: cerca("label", "CANE"), "il messaggio di Aiutami con la parola")
        time.sleep(0.5)
        s.schermata(os.path.join(s.temp, "aiuto.ppm"))
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            png(os.path.join(s.temp, "aiuto.ppm"), os.environ["BATTICCO_E2E_SCHERMATE"] + "-wayland-aiuto.png")
        tasti("Return")
        aspetta(lambda: not cerca("label", "CANE"), "il messaggio di Aiutami si chiude")

        # Esci: F10 and left wraps round to it; Enter asks, and Enter again answers yes: the program ends.
        # weston gives the game its keyboard back a moment after the box is gone.
        time.sleep(1)
        tasti("F10")
        time.sleep(0.5)
        tasti("Left", "Return")
        time.sleep(1.5)
        s.schermata(os.path.join(s.temp, "domanda.ppm"))
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            png(os.path.join(s.temp, "domanda.ppm"), os.environ["BATTICCO_E2E_SCHERMATE"] + "-wayland-domanda.png")
        verifica(programma.poll() is None, "Esci termina il programma senza domanda")
        tasti("Return")
        stato = s.aspetta_uscita()
        uscita = s.output_programma()
        verifica(stato == 0, f"il programma è uscito con {stato}:\n{uscita}")
        verifica(PRESA not in uscita, f"avvisi del plugin Wayland all'apertura dei menu:\n{uscita}")
        log("Wayland: gioco, tastiere, menu, aiuto e uscita; nessun avviso del plugin")


if __name__ == "__main__":
    esegui(main)
