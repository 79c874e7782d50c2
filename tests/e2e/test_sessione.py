#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The session the program starts in: without a display it says so in Italian and ends with status 1
(no abort, no core file, no advice to reinstall); Qt's own command-line options change nothing; and a
screen reader reaches the game through the user bus at $XDG_RUNTIME_DIR/bus, the only bus a systemd
desktop may give."""

import os
import subprocess

from batticco_e2e import (esegui, AVVIO, Sessione, applicazione, cartella_dati, log, nodi, verifica, aspetta,
                          visibile)


def senza_schermo(s, cartella):
    programma = os.path.join(cartella, "batticco")
    casi = {
        "DISPLAY non impostata": {},
        "DISPLAY sbagliata": {"DISPLAY": ":97"},
        "plugin della piattaforma mancante": {"DISPLAY": s.display, "QT_QPA_PLATFORM": "inesistente"},
    }
    for nome, aggiunte in casi.items():
        env = {k: v for k, v in s.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(aggiunte)
        corrente = os.path.join(s.temp, "cwd-" + nome.replace(" ", "-"))
        os.makedirs(corrente)
        r = subprocess.run([programma], env=env, cwd=corrente, capture_output=True, text=True, timeout=30)
        log(f"{nome}: stato {r.returncode}, {r.stderr.strip()!r}")
        verifica(r.returncode == 1, f"{nome}: stato {r.returncode}, non 1 (un numero negativo è un segnale)")
        verifica("impossibile aprire le finestre del gioco" in r.stderr, f"{nome}: nessun messaggio chiaro")
        verifica(("inesistente" in r.stderr) == ("QT_QPA_PLATFORM" in aggiunte), f"{nome}: la causa detta è sbagliata")
        verifica("einstall" not in r.stderr and "Aborted" not in r.stderr, f"{nome}: il messaggio di Qt resta")
        verifica(not os.listdir(corrente), f"{nome}: file lasciati nella cartella corrente: {os.listdir(corrente)}")


def main(eseguibile):
    with Sessione("sessione") as s:
        s.avvia_x()
        corsa = os.path.join(s.temp, "run")
        os.makedirs(corsa, mode=0o700)
        s.avvia_accessibilita(ascolta=f"unix:path={corsa}/bus")
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        senza_schermo(s, cartella)

        # The program gets no bus address, only the runtime folder with the bus in it; and Qt's
        # options on its command line: -platform offscreen would hide it from the X server,
        # -geometry would resize the start window, -reverse mirror it.
        env = dict(s.env)
        env.pop("DBUS_SESSION_BUS_ADDRESS")
        env["XDG_RUNTIME_DIR"] = corsa
        s.uscita_programma = open(os.path.join(s.temp, "programma.log"), "w+")
        s.programma = s.avvia_processo(
            [os.path.join(cartella, "batticco"), "-platform", "offscreen", "-geometry", "200x100+0+0",
             "-reverse", "-style", "windows", "-stylesheet", "nessuno.qss"],
            env=env, stdout=s.uscita_programma, stderr=subprocess.STDOUT, cwd=s.temp)
        finestra = s.finestra_avvio(s.programma)
        verifica(s.geometria(finestra)[2:] == AVVIO, "la finestra d'avvio non ha la sua misura")
        app = applicazione(s.programma.pid)
        avvio = aspetta(lambda: [n for r, nm, n in nodi(app) if r == "push button" and nm == "Avvio" and visibile(n)],
                        "il pulsante Avvio nell'albero accessibile")
        verifica(len(avvio) == 1, "Avvio non è uno solo")
        # Left to right as designed: the button's left edge at 168 px (2520 twips), not at the 179 px
        # a mirrored window would put it.
        x, _ = avvio[0].queryComponent().getPosition(0)
        verifica(abs(x - s.geometria(finestra)[0] - 168) <= 1, f"Avvio a {x}: la finestra è rispecchiata da -reverse")
        verifica(s.programma.poll() is None, "il programma è terminato")
        log("albero accessibile raggiunto attraverso $XDG_RUNTIME_DIR/bus; le opzioni di Qt non cambiano nulla")


if __name__ == "__main__":
    esegui(main)
