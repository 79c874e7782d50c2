#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader finds in the program, read from outside through AT-SPI: named windows, the
26 keys, "avanti", "Aiutami", the counters with their current values, the letter boxes; and the names
keep up as the game goes on (a wrong key makes "Errati: 1")."""

import string

from batticco_e2e import (esegui, AREA, Sessione, applicazione, aspetta, attivo, cartella_dati, log, nodi, premi,
                          verifica, visibile)


def main(eseguibile):
    with Sessione("accessibilita") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        programma = s.avvia_programma(cartella)
        avvio = s.finestra_avvio(programma)
        app = applicazione(programma.pid)

        def cerca(ruolo, nome, solo_visibili=True):
            return [n for r, nm, n in nodi(app) if r == ruolo and nm == nome and (not solo_visibili or visibile(n))]

        def uno(ruolo, nome):
            trovati = aspetta(lambda: cerca(ruolo, nome), f"{ruolo} {nome!r}")
            verifica(len(trovati) == 1, f"{len(trovati)} {ruolo} {nome!r} visibili, non uno")
            return trovati[0]

        # Both windows are windows to a screen reader, each named Batticco.
        aspetta(lambda: cerca("frame", "Batticco"), "la finestra d'avvio Batticco")
        uno("push button", "Avvio")
        s.tasto(avvio, "Return")
        s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0], descrizione="il gioco")

        # The game window: every control a child can reach has a name that says what it is.
        aspetta(lambda: not cerca("push button", "Avvio"), "la finestra d'avvio lascia l'albero visibile")
        uno("frame", "Batticco")
        tasti = {lettera: uno("push button", lettera) for lettera in string.ascii_uppercase}
        verifica(all(attivo(t) for t in tasti.values()), "un tasto è spento")
        avanti = uno("push button", "avanti")
        verifica(not attivo(avanti), "avanti è attivo prima della parola")
        uno("push button", "Aiutami")
        uno("label", "Esatti: 0")
        uno("label", "Errati: 0")
        uno("image", "Immagine della parola")
        uno("image", "Faccina contenta")
        caselle = [uno("label", f"Lettera {i}") for i in range(1, 5)]
        for i in (5, 6):
            verifica(not cerca("label", f"Lettera {i}"), f"Lettera {i} visibile in una parola di 4 lettere")
        # A label's name is its place; the letter it holds is its description, read after the name.
        verifica(all(not c.description for c in caselle), "una casella non è vuota all'inizio")
        nomi_menu = {nm.strip() for r, nm, _ in nodi(app) if r == "menu item"}
        for voce in ("Azzera conteggio", "Scegli lista di parole", "Opzioni", "Informazioni", "Esci",
                     "parole di 4 lettere", "usa la batticco del PC", "maiuscoli", "minuscoli"):
            verifica(voce in nomi_menu, f"voce di menu {voce!r} assente")

        # A wrong key pressed by its accessible action: the count's name follows.
        premi(tasti["Z"])
        uno("label", "Errati: 1")
        verifica(not cerca("label", "Errati: 0"), "il vecchio conteggio resta nell'albero")
        # The word: each letter appears in its box's text, then avanti comes alive.
        for i, lettera in enumerate("CANE"):
            premi(tasti[lettera])
            aspetta(lambda: caselle[i].description == lettera, f"{lettera} nella casella Lettera {i + 1}")
        aspetta(lambda: attivo(avanti), "avanti attivo a parola finita")
        premi(avanti)
        uno("label", "Esatti: 1")
        uno("label", "Errati: 1")
        aspetta(lambda: not attivo(avanti), "avanti spento nel nuovo turno")
        aspetta(lambda: all(not c.description for c in caselle), "caselle vuote nel nuovo turno")
        log("albero dell'accessibilità completo")


if __name__ == "__main__":
    esegui(main)
