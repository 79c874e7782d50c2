#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A teacher records a word's voice in the editor, through a real PulseAudio server started here: the
microphone is a null sink's monitor, and a known recording (a spoken "cane" between 0.6 s and 0.9 s of
room noise) plays into that sink while she presses Registra and Ferma in the editor's real window. The
level meter moves while she speaks, the voice is heard back at once, and once saved voci/cane.wav is the
word alone (the silence gone at both ends), at the game's loudness, never clipped, and the game says it
when the picture of cane comes. Then the computer's
voice for the word that has none, with espeak-ng."""

import math
import os
import random
import struct
import subprocess
import sys
import time
import wave

from batticco_e2e import (esegui, AREA, Sessione, applicazione, aspetta, cartella_dati, log, nodi,
                          verifica, visibile)
from test_suoni import Server, ambiente

LIVELLO = -18.0  # dBFS RMS of a voice, as the editor makes it
PICCO = -1.0
PRIMA, DOPO = 0.6, 0.9  # seconds of room noise around the spoken word in the test recording
MARGINI = 0.04 + 0.10  # what the editor keeps around the word


def leggi_wav(percorso):
    with wave.open(percorso, "rb") as w:
        formato = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        dati = w.readframes(w.getnframes())
    return formato, [v / 32768 for (v,) in struct.iter_unpack("<h", dati[:len(dati) // 2 * 2])]


def rms_db(c):
    energia = sum(x * x for x in c) / len(c) if c else 0
    return 10 * math.log10(energia) if energia > 0 else -120.0


def picco_db(c):
    return 20 * math.log10(max(abs(x) for x in c))


def registrazione_nota(s, parola="cane"):
    """The spoken word, cut to where it sounds, at -30 dBFS RMS (a quiet microphone), between PRIMA and
    DOPO seconds of room noise. Returns the file and how long the word lasts."""
    grezza = os.path.join(s.temp, parola + "-espeak.wav")
    subprocess.run(["espeak-ng", "-v", "it", "-s", "140", "-w", grezza, parola], check=True)
    (_, _, frequenza), c = leggi_wav(grezza)
    soglia = 0.02 * max(abs(x) for x in c)
    dove = [i for i, x in enumerate(c) if abs(x) > soglia]
    c = c[dove[0]:dove[-1] + 1]
    k = 10 ** ((-30 - rms_db(c)) / 20)
    caso = random.Random(3)
    rumore = lambda n: [caso.gauss(0, 10 ** (-65 / 20)) for _ in range(n)]
    tutto = rumore(int(PRIMA * frequenza)) + [x * k for x in c] + rumore(int(DOPO * frequenza))
    percorso = os.path.join(s.temp, parola + "-microfono.wav")
    with wave.open(percorso, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(frequenza)
        w.writeframes(b"".join(struct.pack("<h", max(-32768, min(32767, round(x * 32767)))) for x in tutto))
    return percorso, len(c) / frequenza


def nodo(app, ruolo, nome):
    trovati = [n for r, nm, n in nodi(app, 16) if r == ruolo and nm == nome and visibile(n)]
    return trovati[0] if trovati else None


def foto(s, finestra, nome):
    if os.environ.get("BATTICCO_E2E_SCHERMATE"):
        x, y, w, h = s.geometria(finestra)
        s.x("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", os.path.join(os.environ["BATTICCO_E2E_SCHERMATE"], nome))


def main(gioco_eseguibile, editor_eseguibile):
    with Sessione("registra-voce") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        server = Server.nella_sessione(s)
        runtime = server.runtime
        server.avvia()
        altoparlanti = server.pactl("get-default-sink").strip()
        # The microphone: whatever plays into the sink "microfono" is what its monitor records.
        server.pactl("load-module", "module-null-sink", "sink_name=microfono")
        server.pactl("set-default-source", "microfono.monitor")
        server.pactl("set-default-sink", altoparlanti)
        microfono, secondi_voce = registrazione_nota(s)

        cartella = cartella_dati(s.temp, gioco_eseguibile, {3: "ape", 4: "cane"})
        casa = os.path.join(s.temp, "casa")
        os.makedirs(casa)
        env = ambiente(s, casa, runtime)
        uscita = open(os.path.join(s.temp, "editor.log"), "w+")
        editor = s.avvia_processo([editor_eseguibile, cartella], env=env, stdout=uscita, stderr=subprocess.STDOUT,
                                  cwd=s.temp)
        finestra = s.finestra_visibile(nome="Parole di Batticco", pid=editor.pid, descrizione="la finestra dell'editor")
        app = applicazione(editor.pid)

        # cane, typed to select it in the grid; Ctrl+R; Registra has the focus.
        s.scrivi(finestra, "cane")
        s.tasto(finestra, "ctrl+r")
        dialogo = s.finestra_visibile(nome="Registra la voce", pid=editor.pid, descrizione="il dialogo della voce")
        foto(s, dialogo, "registra-la-voce.png")
        s.tasto(dialogo, "space")
        aspetta(lambda: "Voce della parola" in (server.pactl("list", "source-outputs") or ""),
                "la registrazione dal microfono")
        misuratore = aspetta(lambda: nodo(app, "progress bar", "Livello del microfono"), "il misuratore del livello")
        env_pa = {"PATH": os.environ["PATH"], "HOME": os.path.join(s.temp, "pactl"), "PULSE_SERVER": "unix:" + server.presa}
        prima = time.monotonic()
        parla = subprocess.Popen(["paplay", "--device=microfono", microfono], env=env_pa)
        livelli = []
        while parla.poll() is None:
            livelli.append(misuratore.queryValue().currentValue)
            time.sleep(0.05)
        verifica(parla.returncode == 0, "paplay non ha suonato")
        log(f"registrazione: {time.monotonic() - prima:.2f} s, misuratore fino a {max(livelli):.0f} su 100")
        verifica(max(livelli) > 30, f"il misuratore non si è mosso mentre parlava: {max(livelli)}")
        time.sleep(0.3)
        s.tasto(dialogo, "space")  # Ferma has the focus while recording
        def esito():
            return [nm for r, nm, n in nodi(app, 16) if r == "label" and nm.startswith(("Registrata", "Non ", "Sto "))]
        try:
            aspetta(lambda: any(e.startswith("Registrata") for e in esito()), "la voce registrata")
        finally:
            log("esito:", esito())
        foto(s, dialogo, "voce-registrata.png")
        # Heard at once, through the game's player.
        aspetta(lambda: any(f.startswith("voce") for f in server.flussi()), "la voce fatta sentire", attesa=3)
        s.tasto(dialogo, "Return")
        aspetta(lambda: s.geometria(dialogo) is None, "il dialogo della voce si chiude")
        aspetta(lambda: nodo(app, "list item", "cane, con la voce") is not None, "la parola segna la sua voce")
        foto(s, finestra, "parola-con-voce.png")
        s.tasto(finestra, "ctrl+s")
        salvata = os.path.join(cartella, "voci", "cane.wav")
        aspetta(lambda: os.path.exists(salvata) and not s.nome_finestra(finestra).startswith("batticco*"),
                "la voce salvata")

        formato, c = leggi_wav(salvata)
        dimensione = os.path.getsize(salvata)
        verifica(formato == (1, 2, 44100), f"formato della voce: {formato}")
        durata, livello, picco = len(c) / 44100, rms_db(c), picco_db(c)
        log(f"voce salvata: {durata:.3f} s (la parola {secondi_voce:.3f} s), RMS {livello:.2f} dBFS, picco {picco:.2f} dBFS")
        sonori = [i for i in range(0, len(c) - 441, 441) if rms_db(c[i:i + 441]) > LIVELLO - 25]
        log(f"margini tenuti: {sonori[0] / 44.1:.0f} ms prima della parola, {(len(c) - sonori[-1] - 441) / 44.1:.0f} ms dopo")
        verifica(abs(durata - (secondi_voce + MARGINI)) < 0.06, "il silenzio non è stato tolto bene")
        verifica(rms_db(c[:882]) < LIVELLO - 20, "la voce comincia senza il suo breve margine di silenzio")
        verifica(abs(livello - LIVELLO) <= 0.5, f"volume {livello:.2f} dBFS invece di {LIVELLO}")
        verifica(picco <= PICCO + 0.05, f"picco a {picco:.2f} dBFS")

        # The computer's voice for ape, which has none: one command.
        prima = time.monotonic()
        s.tasto(finestra, "alt+m")
        time.sleep(0.3)
        s.tasto(finestra, "o")
        aspetta(lambda: nodo(app, "list item", "ape, con la voce") is not None, "la voce del computer per ape")
        log(f"voce del computer per una parola: {time.monotonic() - prima:.2f} s, menu compreso")
        s.tasto(finestra, "ctrl+s")
        computer = os.path.join(cartella, "voci", "ape.wav")
        aspetta(lambda: os.path.exists(computer), "la voce del computer salvata")
        formato, c = leggi_wav(computer)
        log(f"voce del computer: {len(c) / formato[2]:.2f} s, RMS {rms_db(c):.2f} dBFS")
        verifica(abs(rms_db(c) - LIVELLO) <= 0.5, "la voce del computer non ha il volume del gioco")
        # A recording left running stops by itself after 5 seconds; Annulla (Esc) keeps the voice there was.
        s.scrivi(finestra, "cane")  # back on the 4-letter list, where cane is typed to select it
        s.tasto(finestra, "ctrl+r")
        dialogo = s.finestra_visibile(nome="Registra la voce", pid=editor.pid, descrizione="il dialogo della voce")
        s.tasto(dialogo, "space")
        prima = time.monotonic()
        aspetta(lambda: any(e.startswith("Sto ") for e in esito()), "la registrazione in corso")
        aspetta(lambda: any(e.startswith("Non ho sentito") for e in esito()), "la fine da sola", attesa=10)
        durata = time.monotonic() - prima
        log(f"registrazione lasciata andare: finita da sola dopo {durata:.1f} s")
        verifica(4.5 < durata < 7.5, f"finita dopo {durata:.1f} s invece di 5")
        s.tasto(dialogo, "Escape")
        aspetta(lambda: s.geometria(dialogo) is None, "il dialogo della voce si chiude")
        verifica(not s.nome_finestra(finestra).startswith("batticco*"), "Annulla ha cambiato qualcosa")
        verifica(os.path.getsize(salvata) == dimensione,
                 "la voce di cane è cambiata")
        s.tasto(finestra, "ctrl+q")
        editor.wait(timeout=20)

        # The game says it: cane is the 4-letter list's one word, so its voice comes with the first picture.
        programma = s.avvia_programma(cartella, env=env)
        s.tasto(s.finestra_avvio(programma), "Return")
        s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0], descrizione="il gioco")
        aspetta(lambda: server.flussi() == ["cane.wav"], "il gioco dice la voce registrata", attesa=5, passo=0.01)
        log("il gioco dice la voce registrata:", server.flussi())

if __name__ == "__main__":
    esegui(lambda _: main(sys.argv[1], sys.argv[2]))
