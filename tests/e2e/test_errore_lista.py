#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A data folder without lista4.txt: "Avvio" shows an error box that names the missing list, and
answering it ends the program with a non-zero status, leaving no window behind."""


from batticco_e2e import esegui, Sessione, applicazione, aspetta, cartella_dati, log, nodi, verifica


def main(eseguibile):
    with Sessione("errore") as s:
        s.avvia_x()
        s.avvia_accessibilita()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 5: "gatto"})
        programma = s.avvia_programma(cartella)
        avvio = s.finestra_avvio(programma)
        s.tasto(avvio, "Return")
        box = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="il messaggio d'errore")
        app = applicazione(programma.pid)
        testi = aspetta(lambda: [nm for r, nm, n in nodi(app) if r == "label" and "lista4.txt" in (nm or "")],
                        "un testo che nomina lista4.txt")
        log("errore mostrato:", testi[0])
        verifica(programma.poll() is None, "il programma termina prima che si risponda")
        s.tasto(box, "Return")
        stato = s.aspetta_uscita()
        verifica(stato != 0, "il programma esce con 0 dopo un errore")
        log("stato d'uscita", stato)


if __name__ == "__main__":
    esegui(main)
