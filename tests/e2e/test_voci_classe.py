#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A teacher's five new words, each added with its photo and its voice in the one "Aggiungi" dialog of the
editor's real window, the voice recorded from a virtual microphone (a null sink's monitor of a real
PulseAudio server) into which each spoken word plays; then saved. The checker finds every voice playable
and notes the one old word still without one; the game says each new word when its picture comes: the
child spells the word the voice said, with no wrong letter, and the yes follows. Prints how long the five
words took and how long each voice took to start after its picture."""

import os
import subprocess
import sys
import time

from batticco_e2e import (esegui, AREA, AVANTI, Gioco, Sessione, applicazione, aspetta, attivo, cartella_dati, jpeg,
                          log, nodi, verifica, visibile)
from test_registra_voce import LIVELLO, leggi_wav, registrazione_nota, rms_db
from test_suoni import Server, ambiente, suoni

PAROLE = {"faro": "red", "mela": "green", "luna": "yellow", "sole": "orange", "nave": "blue"}


def etichette(app, inizio):
    return [nm for r, nm, n in nodi(app, 16) if r == "label" and nm.startswith(inizio) and visibile(n)]


def aggiungi_con_voce(s, server, app, editor, finestra, parola, foto, microfono):
    """Ctrl+N, the word, its photo, Registra la voce (Alt+V), Registra, the word said, Ferma, OK, Aggiungi."""
    s.tasto(finestra, "ctrl+n")
    nuova = s.finestra_visibile(nome="Nuova parola di 4 lettere", pid=editor.pid, descrizione="il dialogo della parola")
    s.scrivi(nuova, parola)
    s.tasto(nuova, "Tab")
    s.scrivi(nuova, foto)
    s.tasto(nuova, "Return")
    # Aggiungi is enabled once the word may go in and the photo is in.
    aspetta(lambda: any(attivo(n) for r, nm, n in nodi(app, 16) if r == "push button" and nm == "Aggiungi la parola"),
            "la foto caricata")
    s.tasto(nuova, "alt+v")
    dialogo = s.finestra_visibile(nome=f"Registra la voce di «{parola}»", pid=editor.pid,
                                  descrizione="il dialogo della voce")
    s.tasto(dialogo, "space")
    aspetta(lambda: "Voce della parola" in (server.pactl("list", "source-outputs") or ""),
            "la registrazione dal microfono")
    env_pa = {"PATH": os.environ["PATH"], "HOME": os.path.join(s.temp, "pactl"), "PULSE_SERVER": "unix:" + server.presa}
    subprocess.run(["paplay", "--device=microfono", microfono], env=env_pa, check=True)
    s.tasto(dialogo, "space")  # Ferma
    esito = aspetta(lambda: etichette(app, "Registrata"), f"la voce di {parola} registrata")
    s.tasto(dialogo, "Return")  # OK
    aspetta(lambda: s.geometria(dialogo) is None, "il dialogo della voce si chiude")
    s.tasto(nuova, "alt+a")
    aspetta(lambda: s.geometria(nuova) is None, "il dialogo della parola si chiude")
    return esito[0]


def main(gioco_eseguibile, editor_eseguibile, verifica_eseguibile):
    with Sessione("voci-classe") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        server = Server.nella_sessione(s)
        server.avvia()
        altoparlanti = server.pactl("get-default-sink").strip()
        server.pactl("load-module", "module-null-sink", "sink_name=microfono")
        server.pactl("set-default-source", "microfono.monitor")
        server.pactl("set-default-sink", altoparlanti)
        cartella = cartella_dati(s.temp, gioco_eseguibile, {3: "ape", 4: "cane"}, suoni=suoni(s))
        foto, microfoni = {}, {}
        for parola, colore in PAROLE.items():
            foto[parola] = os.path.join(s.temp, "foto", parola + ".jpg")
            jpeg(foto[parola], colore, 600)
            microfoni[parola], _ = registrazione_nota(s, parola)
        casa = os.path.join(s.temp, "casa")
        os.makedirs(casa)
        env = ambiente(s, casa, server.runtime)
        uscita = open(os.path.join(s.temp, "editor.log"), "w+")
        editor = s.avvia_processo([editor_eseguibile, cartella], env=env, stdout=uscita, stderr=subprocess.STDOUT,
                                  cwd=s.temp)
        finestra = s.finestra_visibile(nome="Parole di Batticco", pid=editor.pid, descrizione="la finestra dell'editor")
        app = applicazione(editor.pid)

        prima = time.monotonic()
        for parola in PAROLE:
            inizio = time.monotonic()
            esito = aggiungi_con_voce(s, server, app, editor, finestra, parola, foto[parola], microfoni[parola])
            log(f"{parola}: {time.monotonic() - inizio:.1f} s; {esito.split('.')[0]}")
        s.tasto(finestra, "ctrl+s")
        aspetta(lambda: not s.nome_finestra(finestra).startswith("batticco*"), "le parole salvate")
        log(f"cinque parole con foto e voce, salvate: {time.monotonic() - prima:.1f} s")
        with open(os.path.join(cartella, "lista4.txt"), encoding="utf-8") as f:
            lista = f.read().split()
        verifica(sorted(lista) == sorted(["cane", *PAROLE]), f"lista4.txt: {lista}")
        for parola in PAROLE:
            formato, c = leggi_wav(os.path.join(cartella, "voci", parola + ".wav"))
            verifica(formato == (1, 2, 44100) and abs(rms_db(c) - LIVELLO) <= 0.5,
                     f"la voce di {parola}: {formato}, {rms_db(c):.2f} dBFS")
        s.tasto(finestra, "ctrl+q")
        editor.wait(timeout=20)

        # The checker: every voice plays; the old words, ape and cane, are noted as the ones without a voice.
        r = subprocess.run([verifica_eseguibile, cartella], capture_output=True, text=True)
        righe = [r for r in r.stdout.splitlines() if "voc" in r]
        log("batticco-verifica:", righe)
        verifica(len(righe) == 2 and all(f"nota: la parola «{p}» non ha la voce" in r for p, r in zip(("ape", "cane"), righe)),
                 f"il controllo delle voci: {righe}")

        # The game: each voice comes with its picture and is the word to spell.
        programma = s.avvia_programma(cartella, env=env)
        s.tasto(s.finestra_avvio(programma), "Return")
        gioco = Gioco(s, s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0],
                                             descrizione="il gioco"))
        app_gioco = applicazione(programma.pid)
        sentite, ritardi = set(), []
        for turno in range(12):
            mostrata = time.monotonic()
            try:
                flussi = aspetta(lambda: [f for f in server.flussi() if f.endswith(".wav") and f[:-4] in PAROLE],
                                 "la voce del turno", attesa=1.5, passo=0.01)
                ritardi.append(time.monotonic() - mostrata)
                parola = flussi[0][:-4]
                sentite.add(parola)
            except Exception:
                parola = "cane"  # the one word without a voice is silent
            aspetta(lambda: not server.flussi(), "la fine della voce", attesa=5)
            for lettera in parola:
                gioco.clic_tasto(lettera)
            aspetta(lambda: any(f.startswith("si") for f in server.flussi()), f"il sì dopo {parola}")
            errati = etichette(app_gioco, "Errati:")
            verifica(errati == ["Errati: 0"], f"la voce non diceva la parola della figura ({parola}): {errati}")
            if sentite == set(PAROLE):
                break
            gioco.clic_rettangolo(AVANTI)
        log(f"parole dette dal gioco: {sorted(sentite)} in {turno + 1} turni; voce dopo l'avanti in "
            f"{min(ritardi) * 1000:.0f}-{max(ritardi) * 1000:.0f} ms")
        verifica(len(sentite) >= 3, f"il gioco ha detto solo {sorted(sentite)}")


if __name__ == "__main__":
    esegui(lambda _: main(sys.argv[1], sys.argv[2], sys.argv[3]))
