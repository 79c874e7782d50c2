#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game writes nothing: with HOME a fresh read-only folder (and the XDG folders inside it)
and a read-only data folder, every file's size, time and checksum is the same after the game as
before it, and nothing was added. Root ignores permissions, so the listing is what is compared."""

import hashlib
import os
import stat

import test_gioco
from batticco_e2e import esegui, log, verifica


def elenco(radice):
    voci = {}
    for cartella, sottocartelle, file in os.walk(radice):
        for nome in sottocartelle + file:
            percorso = os.path.join(cartella, nome)
            st = os.lstat(percorso)
            somma = ""
            if stat.S_ISREG(st.st_mode):
                with open(percorso, "rb") as f:
                    somma = hashlib.sha256(f.read()).hexdigest()
            voci[os.path.relpath(percorso, radice)] = (stat.S_IFMT(st.st_mode), st.st_size, st.st_mtime_ns, somma)
    return voci


def sola_lettura(radice):
    for cartella, sottocartelle, file in os.walk(radice):
        for nome in sottocartelle + file:
            percorso = os.path.join(cartella, nome)
            os.chmod(percorso, os.lstat(percorso).st_mode & ~0o222)
    os.chmod(radice, os.stat(radice).st_mode & ~0o222)


def main(eseguibile):
    prima = {}

    def prepara(s, cartella):
        casa = os.path.join(s.temp, "casa")
        os.makedirs(casa)
        s.env["HOME"] = casa
        for chiave in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            s.env.pop(chiave, None)
        # A desktop session always has a private runtime folder; it is watched as well.
        corsa = os.path.join(s.temp, "runtime")
        os.makedirs(corsa, mode=0o700)
        s.env["XDG_RUNTIME_DIR"] = corsa
        # No session bus, as outside a desktop session: D-Bus must not start one that writes in HOME.
        s.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        for radice in (casa, cartella, corsa):
            if radice != corsa:
                sola_lettura(radice)
            prima[radice] = elenco(radice)

    def confronta(s, cartella):
        for radice, voci in prima.items():
            adesso = elenco(radice)
            nuove = sorted(set(adesso) - set(voci))
            cambiate = sorted(k for k in voci if adesso.get(k) != voci[k])
            verifica(not nuove and not cambiate, f"in {radice}: nuovi {nuove}, cambiati {cambiate}")
        log("nessun file creato o cambiato")
        for radice in prima:  # the session removes its temp folder: give write access back
            os.chmod(radice, 0o755)

    test_gioco.main(eseguibile, prepara, confronta)


if __name__ == "__main__":
    esegui(main)
