#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The sounds through a real PulseAudio server, started here with a null sink in a runtime folder of
its own, the way a desktop session runs one. What the server plays is read back with pactl: a wrong
letter opens a stream named no.wav, the last letter of the word one named si<n>.wav, and a wrong key
while a long yes plays leaves the no alone. A server with no output at first is heard once it has one. The game plays on when the server is killed and when a
server takes the connection and never answers, and its sounds come back once the server is started
again. Started with no server, the game loads no sound library, and a server started later is heard. Through all of it the program writes nothing in its HOME (no cookie, no runtime link) and
makes no pulse-* folder in its temporary folder; the same holds without XDG_RUNTIME_DIR, where the server is found
behind the link its own session left in HOME."""

import glob
import itertools
import math
import os
import socket
import struct
import subprocess
import time
import wave

from batticco_e2e import (esegui, AREA, AVANTI, Gioco, Sessione, applicazione, aspetta, cartella_dati, log, nodi, verifica,
                          visibile)
from test_nessuna_scrittura import elenco

SI_SECONDI = 4.0  # long enough that a no can cut it off
NO_SECONDI = 1.5


def onda(percorso, secondi, frequenza):
    with wave.open(percorso, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(22050)
        n = int(22050 * secondi)
        w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * frequenza * i / 22050)))
                               for i in range(n)))


class Server:
    """pulseaudio -n with a null sink and the native protocol on its runtime folder's socket."""

    def __init__(self, s, casa, runtime=None):
        self.s, self.casa, self.runtime, self.processo = s, casa, runtime, None
        os.makedirs(casa, exist_ok=True)

    @classmethod
    def nella_sessione(cls, s):
        """A server of the session's own: its HOME and its runtime folder in the session's folder."""
        runtime = os.path.join(s.temp, "runtime")
        os.makedirs(runtime, mode=0o700)
        return cls(s, os.path.join(s.temp, "casa-server"), runtime)

    def avvia(self, uscita=True):
        """uscita=False: a server with no output yet, as before a USB headset is plugged in."""
        moduli = ["-L", "module-null-sink"] if uscita else []
        self.processo = self.s.avvia_processo(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--log-target=stderr", *moduli, "-L", "module-native-protocol-unix"],
            env=ambiente(self.s, self.casa, self.runtime), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.presa = aspetta(self.trova_presa, "la presa del server PulseAudio")
        aspetta(lambda: self.pactl("info", controlla=False) is not None, "il server PulseAudio risponde")
        log("PulseAudio su", self.presa)

    def trova_presa(self):
        if self.runtime:
            candidati = [os.path.join(self.runtime, "pulse", "native")]
        else:
            candidati = glob.glob(os.path.join(self.casa, ".config", "pulse", "*-runtime", "native"))
        for c in candidati:
            if os.path.exists(c) and self.processo.poll() is None:
                return os.path.realpath(c)
        verifica(self.processo.poll() is None, "pulseaudio è terminato")
        return None

    def uccidi(self):
        os.killpg(self.processo.pid, 9)
        self.processo.wait()

    def pactl(self, *argomenti, controlla=True):
        # pactl reaches the server by its socket and keeps its cookie in a HOME of its own.
        casa = os.path.join(self.s.temp, "pactl")
        os.makedirs(casa, exist_ok=True)
        env = {"PATH": os.environ["PATH"], "HOME": casa, "PULSE_SERVER": "unix:" + self.presa, "LC_ALL": "C"}
        r = subprocess.run(["pactl", *argomenti], env=env, capture_output=True, text=True, timeout=10)
        if r.returncode != 0:
            verifica(not controlla, f"pactl {' '.join(argomenti)}: {r.stderr.strip()}")
            return None
        return r.stdout

    def flussi(self):
        """The media names of the sink inputs playing now."""
        testo = self.pactl("list", "sink-inputs") or ""
        return [r.split("=", 1)[1].strip().strip('"') for r in testo.splitlines() if r.strip().startswith("media.name")]


def partita(s, eseguibile, env):
    """Starts the game with env, presses Avvio and returns (gioco, errati) once it shows."""
    cartella = cartella_dati(s.temp + "/" + str(len(s.processi)), eseguibile, {3: "ape", 4: "cane"},
                             suoni=suoni(s))
    programma = s.avvia_programma(cartella, env=env)
    avvio = s.finestra_avvio(programma)
    app = applicazione(programma.pid)
    s.tasto(avvio, "Return")
    finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0], descrizione="il gioco")

    def errati():
        nomi = [nm for r, nm, n in nodi(app) if r == "label" and nm.startswith("Errati:") and visibile(n)]
        verifica(len(nomi) == 1, f"contatore degli errati: {nomi}")
        return int(nomi[0].split(":")[1])
    aspetta(lambda: errati() == 0, "il gioco con zero errori")
    return Gioco(s, finestra), errati


def suoni(s):
    cartella = os.path.join(s.temp, "onde")
    if not os.path.isdir(cartella):
        os.makedirs(cartella)
        onda(os.path.join(cartella, "si.wav"), SI_SECONDI, 660)
        onda(os.path.join(cartella, "no.wav"), NO_SECONDI, 220)
    return {**{f"si{k}.wav": os.path.join(cartella, "si.wav") for k in range(1, 5)},
            "no.wav": os.path.join(cartella, "no.wav")}


def ambiente(s, casa, runtime):
    env = {k: v for k, v in s.env.items() if not k.startswith(("PULSE_", "XDG_"))}
    env["HOME"] = casa
    # A temporary folder of the game's own, where libpulse would make its pulse-* folders: another
    # sound server on the machine may make one in /tmp at any moment.
    env["TMPDIR"] = temporanea(s)
    if runtime:
        env["XDG_RUNTIME_DIR"] = runtime
    return env


def temporanea(s):
    cartella = os.path.join(s.temp, "tmp")
    os.makedirs(cartella, exist_ok=True)
    return cartella


def cartelle_pulse_tmp(s):
    return set(glob.glob(os.path.join(temporanea(s), "pulse-*")))


def main(eseguibile):
    with Sessione("suoni") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        server = Server.nella_sessione(s)
        runtime = server.runtime
        server.avvia(uscita=False)

        casa = os.path.join(s.temp, "casa")
        os.makedirs(casa)
        tmp_prima = cartelle_pulse_tmp(s)
        gioco, errati = partita(s, eseguibile, ambiente(s, casa, runtime))

        sbagliate = itertools.cycle("qwz")  # never the key under the pointer: xdotool --sync waits for a move

        def sbaglia(attesi):
            gioco.clic_tasto(next(sbagliate))
            aspetta(lambda: errati() == attesi, f"{attesi} errori", attesa=5)

        def suona(nome, cosa):
            try:
                aspetta(lambda: nome(server.flussi()) if callable(nome) else nome in server.flussi(), cosa, attesa=5)
            except Exception:
                log("flussi:", server.flussi())
                raise

        # No output yet: the first no is lost. Once the output is there, the next no is heard, from
        # a HOME with no cookie at all.
        sbaglia(1)
        time.sleep(0.5)
        verifica(not server.flussi(), f"flussi senza un'uscita: {server.flussi()}")
        server.pactl("load-module", "module-null-sink")
        sbaglia(2)
        suona("no.wav", "il suono del no quando c'è un'uscita")
        # The last letter: a yes sound. A wrong key in the next word while it plays: the no takes
        # its place at once.
        for lettera in "cane":
            gioco.clic_tasto(lettera)
        suona(lambda f: any(n.startswith("si") for n in f), "un suono del sì dopo l'ultima lettera")
        prima = time.monotonic()
        gioco.clic_rettangolo(AVANTI)
        sbaglia(3)
        suona(lambda f: f == ["no.wav"], "il no al posto del sì")
        verifica(time.monotonic() - prima < SI_SECONDI - 1, "il no ha aspettato la fine del sì")
        log("sì dopo l'ultima lettera, poi il no al suo posto:", server.flussi())

        # The server killed: the game plays on, silent.
        server.uccidi()
        sbaglia(4)
        sbaglia(5)
        # A server that takes the connection and never answers holds up nothing either.
        presa = os.path.join(runtime, "pulse", "native")
        os.unlink(presa)
        muto = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        muto.bind(presa)
        muto.listen(16)
        for n in range(6, 10):
            sbaglia(n)
        log("server ucciso, poi muto: gli errori si contano come sempre")
        # The server back while the mute one still holds its connection, out of reach of new ones:
        # once the player has given up waiting for an answer, the next wrong letter is heard again.
        time.sleep(3.5)
        os.unlink(presa)
        server.avvia()
        sbaglia(10)
        suona("no.wav", "il suono del no dopo il riavvio del server")
        muto.close()
        log("suoni di nuovo dopo il riavvio del server")

        verifica(not os.listdir(casa), f"il programma ha scritto in HOME: {os.listdir(casa)}")
        verifica(cartelle_pulse_tmp(s) <= tmp_prima, f"cartelle nuove nella cartella temporanea: {cartelle_pulse_tmp(s) - tmp_prima}")
        server.uccidi()
        s.programma.terminate()
        s.programma.wait()

        # Without XDG_RUNTIME_DIR: the server of this HOME keeps its socket behind a link in HOME,
        # next to its cookie; the game uses both as they are.
        casa = os.path.join(s.temp, "casa-senza-runtime")
        server = Server(s, casa)
        server.avvia()
        casa_prima = elenco(casa)
        tmp_prima = cartelle_pulse_tmp(s)
        gioco, errati = partita(s, eseguibile, ambiente(s, casa, None))
        sbaglia(1)
        suona("no.wav", "il suono del no senza XDG_RUNTIME_DIR")
        verifica(elenco(casa) == casa_prima, "il programma ha cambiato HOME senza XDG_RUNTIME_DIR")
        verifica(cartelle_pulse_tmp(s) <= tmp_prima, f"cartelle nuove nella cartella temporanea: {cartelle_pulse_tmp(s) - tmp_prima}")
        log("senza XDG_RUNTIME_DIR: suona, e nulla di nuovo in HOME né in /tmp")
        server.uccidi()
        s.programma.terminate()
        s.programma.wait()

        # A game started with no server at all: its sounds are silent and the server's client library
        # is not even loaded. A server started during the game is heard at the next sound.
        runtime = os.path.join(s.temp, "runtime-tardivo")
        os.makedirs(runtime, mode=0o700)
        server = Server(s, os.path.join(s.temp, "casa-server-tardivo"), runtime)
        gioco, errati = partita(s, eseguibile, ambiente(s, os.path.join(s.temp, "casa-tardiva"), runtime))
        sbaglia(1)
        sbaglia(2)
        verifica(not libpulse(s.programma.pid), f"libreria del server caricata senza un server: {libpulse(s.programma.pid)}")
        server.avvia()
        sbaglia(3)
        suona("no.wav", "il suono del no dal server avviato durante il gioco")
        verifica(libpulse(s.programma.pid), "il suono è arrivato senza la libreria del server?")
        log("senza server la libreria non c'è; avviato il server, il no si sente")


def libpulse(pid):
    """The sound server's libraries the process has mapped."""
    with open(f"/proc/{pid}/maps") as f:
        return sorted({r.split()[-1] for r in f if "libpulse" in r or "libsndfile" in r})


if __name__ == "__main__":
    esegui(main)
