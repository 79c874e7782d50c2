#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game as a child plays it, on a real X server: the start window, "Avvio" by the Enter key,
the word spelt by clicks on the drawn keys, a wrong key, "avanti", the PC keyboard chosen from the
menu and the word typed, "Aiutami", and "Esci" answered with Yes."""

import time

from batticco_e2e import (esegui, AIUTAMI, AVANTI, AREA, AVVIO, CASELLA, FACCIA, PALETTE, SFONDO_GIOCO, TWIPS,
                          Gioco, Sessione, aspetta, cartella_dati, log, quanti_scuri, simili, verifica,
                          voci_barra)



def quanti_inchiostro(pixel):
    # The letters are drawn mid-grey (0x767676) on the drawn keyboard's white boxes, and light grey
    # (about 0xC0) in the PC keyboard's boxes once done and disabled (0xF0 behind them).
    # An empty box may show the text cursor: a thin line, far fewer pixels than a letter.
    return quanti_scuri(pixel, 0xD8)  # the start window's client area


def main(eseguibile, prima_di_partire=None, a_fine_partita=None):
    """prima_di_partire(s, cartella) runs before the program starts, a_fine_partita(s, cartella) after it ends."""
    with Sessione("gioco") as s:
        s.avvia_x()
        cartella = cartella_dati(s.temp, eseguibile, {3: "ape", 4: "cane"})
        if prima_di_partire:
            prima_di_partire(s, cartella)
        inizio = time.monotonic()
        programma = s.avvia_programma(cartella)

        # The start window: its own size, a palette colour behind the title.
        avvio = s.finestra_avvio(programma)
        log(f"finestra d'avvio dopo {time.monotonic() - inizio:.2f} s")
        x, y, _, _ = s.geometria(avvio)
        # Mapped is not yet painted: wait for the first paint, then judge the colour.
        schermo = aspetta(lambda: (lambda sc: sc if sc(x + 10, y + 10) != 0 else None)(s.schermata()),
                          "la finestra d'avvio dipinta")
        colore = schermo(x + 10, y + 10)
        verifica(colore in PALETTE, f"sfondo d'avvio #{colore:06X} non è un colore della tavolozza")
        verifica(schermo(x + AVVIO[0] - 10, y + AVVIO[1] - 10) == colore, "sfondo d'avvio non uniforme")
        verifica(quanti_scuri(schermo.regione(x + 56, y + 88, 476, 97)) > 2000, "il titolo BATTICCO non si vede")

        # "Avvio" has the focus: Enter starts the game and the start window goes.
        s.tasto(avvio, "Return")
        finestra = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[2] == AREA[0],
                                       descrizione="la finestra del gioco")
        aspetta(lambda: s.geometria(avvio) is None, "la finestra d'avvio si chiude")
        gioco = Gioco(s, finestra)
        log(f"gioco: origine {gioco.origine}, barra dei menu alta {gioco.barra} px")

        def schermata():
            return s.schermata()

        def casella(schermo, i):
            left, top, lato, _ = CASELLA(i)
            x0, y0 = gioco.punto(left // TWIPS + 4, top // TWIPS + 4)
            return schermo.regione(x0, y0, lato // TWIPS - 8, lato // TWIPS - 8)

        def faccia(schermo):
            return schermo.regione(*gioco.rettangolo_schermo(FACCIA))

        def avanti_attivo(schermo):
            # The caption turns from grey to black when the button is enabled.
            return quanti_scuri(schermo.regione(*gioco.rettangolo_schermo(AVANTI))) > 40

        def contatore(schermo, riga):
            # The counters' digits, right of the "Esatti"/"Errati" labels (twips 7770.. and 7800..).
            return schermo.regione(*gioco.rettangolo_schermo((7770 // TWIPS, riga // TWIPS, 57, 26)))

        primo = schermata()
        verifica(primo(*gioco.punto(5, 5)) == (SFONDO_GIOCO[0] << 16 | SFONDO_GIOCO[1] << 8 | SFONDO_GIOCO[2]),
                 "lo sfondo del gioco non è azzurro")
        faccia_si = faccia(primo)
        errati_0 = contatore(primo, 1650)
        esatti_0 = contatore(primo, 1260)
        for i in range(4):
            verifica(quanti_inchiostro(casella(primo, i)) < 60, f"la casella {i + 1} non è vuota all'inizio")
        verifica(not avanti_attivo(primo), "avanti è attivo prima della parola")
        # The picture: the word's orange JPEG fills the frame.
        verifica(primo(*gioco.punto(2760 // TWIPS + 116, 120 // TWIPS + 116)) in (0xFFA500, 0xFFA400, 0xFEA500),
                 "la figura della parola non si vede")

        # A wrong key: the no face, and Errati counts it.
        gioco.clic_tasto("z")
        dopo = aspetta(lambda: (lambda sc: sc if not simili(faccia(sc), faccia_si) else None)(schermata()),
                       "la faccina triste dopo un tasto sbagliato")
        verifica(contatore(dopo, 1650) != errati_0, "Errati non cambia dopo un tasto sbagliato")
        faccia_no = faccia(dopo)
        # The faces differ most in the mouth: the yes face's open smile is red, the no face's is not.
        rossi = lambda px: sum(1 for c in px if (c >> 16) > 0xB0 and ((c >> 8) & 0xFF) < 0x60)
        verifica(rossi(faccia_si) > rossi(faccia_no), "la faccina triste ha la bocca della contenta")
        verifica(quanti_inchiostro(casella(dopo, 0)) < 60, "un tasto sbagliato ha scritto una lettera")

        # The word, key by key: each letter lands in its box.
        for i, lettera in enumerate("cane"):
            gioco.clic_tasto(lettera)
            aspetta(lambda: quanti_inchiostro(casella(schermata(), i)) > 100, f"la lettera {lettera.upper()} nella casella {i + 1}")
        fine = aspetta(lambda: (lambda sc: sc if avanti_attivo(sc) else None)(schermata()),
                       "avanti attivo a parola finita")
        verifica(simili(faccia(fine), faccia_no), "la faccina cambia prima di avanti")

        # avanti: the yes face is back, the boxes are empty, Esatti counts the word.
        gioco.clic_rettangolo(AVANTI)
        nuovo = aspetta(lambda: (lambda sc: sc if simili(faccia(sc), faccia_si) else None)(schermata()),
                        "la faccina contenta dopo avanti")
        aspetta(lambda: not avanti_attivo(schermata()), "avanti torna spento nel nuovo turno")
        nuovo = schermata()
        verifica(contatore(nuovo, 1260) != esatti_0, "Esatti non conta la parola")
        for i in range(4):
            verifica(quanti_inchiostro(casella(nuovo, i)) < 60, f"la casella {i + 1} non è vuota nel nuovo turno")

        # Options > batticchi > usa la batticco del PC, by mouse through the real menus.
        voci = voci_barra(nuovo, gioco.origine[0], gioco.origine[1] + 2, AREA[0], gioco.barra - 4)
        verifica(len(voci) == 5, f"la barra dei menu ha {len(voci)} voci, non 5: {voci}")
        riga_barra = gioco.origine[1] + gioco.barra // 2
        s.clic((voci[2][0] + voci[2][1]) // 2, riga_barra)
        opzioni = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[1] >= gioco.origine[1] + gioco.barra - 2
                                      and g[2] < AREA[0] and g[3] < 200, descrizione="il menu Opzioni")
        ox, oy, ow, oh = s.geometria(opzioni)
        s.clic(ox + ow // 2, oy + oh // 4)  # "batticchi", the first of two entries
        sotto = s.finestra_visibile(pid=programma.pid, condizione=lambda g: g[0] >= ox + ow - 8 and g[3] < 200,
                                    descrizione="il sottomenu batticchi")
        bx, by, bw, bh = s.geometria(sotto)
        s.clic(bx + bw // 2, by + 3 * bh // 4)  # "usa la batticco del PC", the second
        aspetta(lambda: s.geometria(sotto) is None and s.geometria(opzioni) is None, "i menu si chiudono")

        # The drawn keys are gone; the first letter box has the keyboard.
        pc = aspetta(lambda: (lambda sc: sc if sc(*gioco.centro_tasto("q")) == 0x00FFFF else None)(schermata()),
                     "i tasti in video spariscono")
        for i in range(4):
            verifica(quanti_inchiostro(casella(pc, i)) < 60, f"la casella {i + 1} non è vuota con la tastiera del PC")
        s.scrivi(finestra, "cane")
        for i, lettera in enumerate("CANE"):
            aspetta(lambda: quanti_inchiostro(casella(schermata(), i)) > 100, f"{lettera} scritta nella casella {i + 1}")
        aspetta(lambda: avanti_attivo(schermata()), "avanti attivo dopo la parola scritta")
        errati_prima = contatore(schermata(), 1650)

        # Aiutami: a box titled Batticco; Enter answers it and the game goes on.
        gioco.clic_rettangolo(AIUTAMI)
        aiuto = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="il messaggio di Aiutami")
        verifica(s.nome_finestra(aiuto) == "Batticco", f"il messaggio è intitolato {s.nome_finestra(aiuto)!r}, {aiuto} {s.geometria(aiuto)}")
        ax, ay, aw, ah = s.geometria(aiuto)
        verifica(quanti_scuri(schermata().regione(ax, ay, aw, ah)) > 30, "il messaggio di Aiutami è vuoto")
        s.tasto(aiuto, "Return")
        aspetta(lambda: s.geometria(aiuto) is None, "il messaggio di Aiutami si chiude con Invio")
        verifica(programma.poll() is None, "il programma è terminato dopo Aiutami")
        verifica(contatore(schermata(), 1650) == errati_prima, "Aiutami ha contato un errore")

        # Esci, then Yes with Enter: the program ends with status 0.
        s.clic((voci[4][0] + voci[4][1]) // 2, riga_barra)
        domanda = s.finestra_visibile(nome="^Batticco$", pid=programma.pid, descrizione="la domanda Vuoi terminare?")
        s.tasto(domanda, "Return")
        stato = s.aspetta_uscita()
        verifica(stato == 0, f"il programma è uscito con {stato}, non 0")
        log(f"partita intera in {time.monotonic() - inizio:.1f} s")
        if a_fine_partita:
            a_fine_partita(s, cartella)


if __name__ == "__main__":
    esegui(main)
