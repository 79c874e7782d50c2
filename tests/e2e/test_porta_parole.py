#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A teacher's words travel on a stick, through the real editor window and two fresh homes:

- at home, with her copy open, "Fai la mia copia del gioco…" puts her words, pictures and voices on
  the stick (a folder named Batticco), with a menu entry named after the stick;
- at school, the stick's folder opened in the editor offers to bring its words into this computer's
  own copy; the word both have with another picture is asked about (Enter keeps this computer's);
  after saving, the new word is there with the stick's picture and voice, the old one unchanged;
- one Ctrl+Z and a save give back this computer's copy byte for byte; the stick is never written;
- the folder dialog of "File → Porta qui le parole di un'altra copia…" speaks Italian (AT-SPI)."""

import hashlib
import os
import shutil
import sys

from batticco_e2e import esegui, Sessione, aspetta, cartella_dati, jpeg, log, nodi, verifica, visibile
from test_parole_cura import Editor, impronta, scrivi, testi


def fotografia(cartella):
    """Every file under the folder with a hash of its bytes."""
    tutto = {}
    for radice, _, file in os.walk(cartella):
        for f in file:
            percorso = os.path.join(radice, f)
            with open(percorso, "rb") as d:
                tutto[os.path.relpath(percorso, cartella)] = hashlib.sha256(d.read()).hexdigest()
    return tutto


def copia_del_gioco(s, gioco, casa, lista4, colori):
    copia = os.path.join(casa, "Batticco")
    shutil.move(cartella_dati(s.temp, gioco, {3: "ape"}), copia)
    scrivi(os.path.join(copia, "lista4.txt"), lista4)
    for parola, colore in colori.items():
        jpeg(os.path.join(copia, "jpg", parola + ".jpg"), colore)
    return copia


def main(gioco, editor):
    with Sessione("porta-parole") as s:
        s.avvia_x()
        casa = s.casa_nuova()
        s.avvia_accessibilita()

        # At home: her copy has faro, with its picture and her voice, and cane.
        mia = copia_del_gioco(s, gioco, casa, "cane\nfaro\n", {"cane": "orange", "faro": "blue"})
        os.makedirs(os.path.join(mia, "voci"))
        scrivi(os.path.join(mia, "voci", "faro.wav"), "RIFF la voce di faro")
        a = Editor(s, editor, mia)
        s.tasto(a.finestra, "alt+f", "m")
        d = s.finestra_visibile(nome="Fai la mia copia del gioco", pid=a.p.pid, descrizione="il dialogo della copia")
        chiavetta = os.path.join(s.temp, "media", "KINGSTON", "Batticco")
        s.tasto(d, "ctrl+a")
        s.scrivi(d, chiavetta)
        s.tasto(d, "Return")
        aspetta(lambda: os.path.exists(os.path.join(chiavetta, "lista4.txt")), "la copia sulla chiavetta")
        verifica(fotografia(chiavetta)["voci/faro.wav"] == fotografia(mia)["voci/faro.wav"], "la voce non è sulla chiavetta")
        aspetta(lambda: [t for t in testi(a.accessibile()) if "«Batticco - le mie parole (KINGSTON)»" in t],
                "l'avviso nomina la voce del menu della chiavetta")
        a.esci()
        chiavetta_prima = fotografia(chiavetta)
        log("la copia sulla chiavetta: parole, immagini e voce; la voce del menu porta il nome della chiavetta")

        # At school: another home, whose own copy has cane with another picture, and lupo.
        scuola = os.path.join(s.temp, "scuola")
        os.makedirs(scuola)
        s.env["HOME"] = scuola
        qui = copia_del_gioco(s, gioco, scuola, "cane\nlupo\n", {"cane": "green", "lupo": "magenta"})
        qui_prima = fotografia(qui)
        b = Editor(s, editor, chiavetta)
        aspetta(lambda: [t for t in testi(b.accessibile()) if "nella tua copia di questo computer" in t],
                "l'offerta di portare le parole")
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            s.schermata(os.path.join(os.environ["BATTICCO_E2E_SCHERMATE"], "chiavetta-aperta.ppm"))
        b.clic("push button", "Porta le parole nella mia copia")
        b.rispondi("Parole con un'altra immagine o voce")
        aspetta(lambda: b.nodo("page tab", "4 lettere (3)"), "faro arrivato nella copia di questo computer")
        if os.environ.get("BATTICCO_E2E_SCHERMATE"):
            s.schermata(os.path.join(os.environ["BATTICCO_E2E_SCHERMATE"], "parole-portate.ppm"))
        s.tasto(b.finestra, "ctrl+s")
        lista = os.path.join(qui, "lista4.txt")
        aspetta(lambda: open(lista).read() == "cane\nlupo\nfaro\n", "la lista con faro")
        b.salvata()
        verifica(impronta(os.path.join(qui, "jpg", "faro.jpg")) == chiavetta_prima["jpg/faro.jpg"], "faro senza la sua immagine")
        verifica(impronta(os.path.join(qui, "voci", "faro.wav")) == chiavetta_prima["voci/faro.wav"], "faro senza la sua voce")
        verifica(impronta(os.path.join(qui, "jpg", "cane.jpg")) == qui_prima["jpg/cane.jpg"], "l'immagine di cane cambiata senza chiedere")

        # One undo, one save: this computer's copy as it was; the stick untouched throughout.
        s.tasto(b.finestra, "ctrl+z")
        s.tasto(b.finestra, "ctrl+s")
        aspetta(lambda: open(lista).read() == "cane\nlupo\n", "la lista di prima")
        b.salvata()
        verifica(fotografia(qui) == qui_prima, "annullando, la copia non è tornata com'era")
        verifica(fotografia(chiavetta) == chiavetta_prima, "la chiavetta è cambiata")
        # The folder dialog, as Qt draws it outside a desktop with dialogs of its own: Italian texts.
        s.tasto(b.finestra, "alt+f", "o")
        d = s.finestra_visibile(nome="Porta qui le parole di un'altra copia", pid=b.p.pid, descrizione="il dialogo")

        def scritte():
            dialoghi = [n for ruolo, nome, n in nodi(b.accessibile(), 2)
                        if nome == "Porta qui le parole di un'altra copia"]
            if not dialoghi:
                return None
            detti = [(nome or "").replace("&", "") for ruolo, nome, n in nodi(dialoghi[0], 20)
                     if ruolo in ("label", "push button") and visibile(n)]
            return detti if "Annulla" in detti else None
        detti = aspetta(scritte, "i testi del dialogo delle cartelle")
        inglesi = [t for t in detti if t.rstrip(":") in ("Look in", "Directory", "File name", "Files of type", "Cancel",
                                                         "Choose", "Open")]
        verifica(not inglesi, f"testi inglesi nel dialogo: {inglesi} (tutti: {detti})")
        log("il dialogo delle cartelle:", " | ".join(t for t in detti if t))
        s.tasto(d, "Escape")
        aspetta(lambda: s.geometria(d) is None, "il dialogo si chiude")
        b.esci()
        log("parole portate dalla chiavetta, la domanda sull'immagine diversa, annullate dopo il salvataggio: ok")


if __name__ == "__main__":
    esegui(lambda _: main(sys.argv[1], sys.argv[2]))
