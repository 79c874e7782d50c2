#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The word's voice through a real PulseAudio server, as test_suoni.py runs one. With voci/cane.wav in
the folder, a stream named cane.wav starts when the picture of cane comes (the load speaks once,
though it starts two turns) and again on a click on the picture; a wrong letter while the voice plays
leaves no.wav alone; a voice file that does not play leaves the yes playing. Without any voice file the
streams are today's: nothing at the load nor on a click, no.wav for a wrong letter.

Prints how long the voice takes to start after the game window, with its picture, is on the screen."""

import os
import shutil
import time

from batticco_e2e import (esegui, AREA, AVANTI, Gioco, Sessione, applicazione, aspetta, cartella_dati, log, nodi,
                          verifica, visibile)
from test_suoni import Server, ambiente, onda, suoni

IMMAGINE = (2760 // 15, 120 // 15, 3495 // 15, 3495 // 15)  # the picture box, in pixels
VOCE_SECONDI = 2.5


def partita(s, eseguibile, env, voce=None):
    """The game on a one-word list (cane), with voci/cane.wav when voce is given. Returns the game,
    its wrong-letter counter and when its window was first seen with the picture, once it shows."""
    cartella = cartella_dati(s.temp + "/" + str(len(s.processi)), eseguibile, {3: "ape", 4: "cane"},
                             suoni=suoni(s))
    if voce:
        os.makedirs(os.path.join(cartella, "voci"))
        shutil.copy2(voce, os.path.join(cartella, "voci", "cane.wav"))
    programma = s.avvia_programma(cartella, env=env)
    avvio = s.finestra_avvio(programma)
    app = applicazione(programma.pid)
    s.tasto(avvio, "Return")
    premuto = time.monotonic()
    # The picture is in place before the window maps: the load runs first.
    finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0], descrizione="il gioco")
    mostrato = time.monotonic()
    log(f"finestra del gioco vista {(mostrato - premuto) * 1000:.0f} ms dopo Avvio")

    def errati():
        nomi = [nm for r, nm, n in nodi(app) if r == "label" and nm.startswith("Errati:") and visibile(n)]
        verifica(len(nomi) == 1, f"contatore degli errati: {nomi}")
        return int(nomi[0].split(":")[1])
    return Gioco(s, finestra), errati, mostrato, premuto, cartella


def main(eseguibile):
    with Sessione("voce") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        server = Server.nella_sessione(s)
        runtime = server.runtime
        server.avvia()
        casa = os.path.join(s.temp, "casa")
        os.makedirs(casa)
        env = ambiente(s, casa, runtime)
        voce = os.path.join(s.temp, "cane.wav")
        onda(voce, VOCE_SECONDI, 330)

        def suona(condizione, cosa, attesa=5):
            try:
                return aspetta(lambda: condizione(server.flussi()), cosa, attesa=attesa, passo=0.01)
            except Exception:
                log("flussi:", server.flussi())
                raise

        def muto(secondi, cosa):
            fine = time.monotonic() + secondi
            while time.monotonic() < fine:
                verifica(not server.flussi(), f"{cosa}: {server.flussi()}")
                time.sleep(0.05)

        # The picture comes, and with it the voice: one stream, heard once.
        gioco, errati, mostrato, premuto, cartella = partita(s, eseguibile, env, voce)
        suona(lambda f: f == ["cane.wav"], "la voce di cane all'immagine")
        ritardo = time.monotonic() - mostrato
        log(f"voce {ritardo * 1000:.0f} ms dopo la finestra con l'immagine, "
            f"{(time.monotonic() - premuto) * 1000:.0f} ms dopo Avvio")
        verifica(ritardo < 1.0, f"la voce è arrivata {ritardo:.2f} s dopo l'immagine")
        # Heard once: one stream from start to end, never cut off and started again by a second turn.
        visti = set()
        fine = time.monotonic() + VOCE_SECONDI + 3
        while time.monotonic() < fine:
            righe = (server.pactl("list", "short", "sink-inputs") or "").split("\n")
            indici = {r.split()[0] for r in righe if r.strip()}
            if not indici:
                break
            visti |= indici
            time.sleep(0.02)
        verifica(len(visti) == 1, f"la voce del caricamento in {len(visti)} flussi: {sorted(visti)}")
        suona(lambda f: not f, "la fine della voce", attesa=1)

        # A click on the picture says it again; a wrong letter while it speaks leaves the no alone.
        gioco.clic_rettangolo(IMMAGINE)
        prima = time.monotonic()
        suona(lambda f: f == ["cane.wav"], "la voce al clic sull'immagine")
        log(f"voce {(time.monotonic() - prima) * 1000:.0f} ms dopo il clic sull'immagine")
        gioco.clic_tasto("q")
        suona(lambda f: f == ["no.wav"], "il no al posto della voce", attesa=VOCE_SECONDI - 0.5)
        aspetta(lambda: errati() == 1, "un errore contato")
        suona(lambda f: not f, "la fine del no", attesa=5)

        # A voice that is no WAV: the yes of the word just spelled plays on into the next turn.
        with open(os.path.join(cartella, "voci", "cane.wav"), "wb") as f:
            f.write(b"ID3\x03 non una voce")
        for lettera in "cane":
            gioco.clic_tasto(lettera)
        suona(lambda f: len(f) == 1 and f[0].startswith("si"), "il sì dopo l'ultima lettera")
        flusso_si = server.flussi()
        gioco.clic_rettangolo(AVANTI)
        time.sleep(0.7)
        verifica(server.flussi() == flusso_si,
                 f"una voce illeggibile ha cambiato il suono: {server.flussi()} invece di {flusso_si}")
        s.programma.terminate()
        s.programma.wait()

        # No voice at all: the streams are today's.
        gioco, errati, _, _, cartella = partita(s, eseguibile, env)
        muto(1.5, "suoni al caricamento senza voci")
        gioco.clic_rettangolo(IMMAGINE)
        muto(1.0, "suoni al clic sull'immagine senza voci")
        gioco.clic_tasto("q")
        suona(lambda f: f == ["no.wav"], "il no senza voci")
        aspetta(lambda: errati() == 1, "un errore contato senza voci")
        verifica(not os.listdir(casa), f"il programma ha scritto in HOME: {os.listdir(casa)}")
        log("senza voci: nessun suono al caricamento né al clic, il no come sempre")


if __name__ == "__main__":
    esegui(main)
