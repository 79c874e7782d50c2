#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The shipped sounds: the "no" is heard on a small speaker, and all five are
matched by loudness, the "no" a little softer than every "yes".

Usage: test_suoni.py DATA_DIR   (prints the figures, exits 1 on a failure)
"""
import math
import struct
import sys
import wave
from pathlib import Path

SI = ["si1.wav", "si2.wav", "si3.wav", "si4.wav"]
NO = "no.wav"
TAGLIO_HZ = 300.0  # laptop and tablet speakers hardly play below this
QUOTA_MINIMA = 0.70  # share of the "no" sound's energy above the cut
SCARTO_SI_DB = 1.5  # the "yes" sounds' loudness, each from their mean
NO_PIU_PIANO_DB = (1.0, 5.0)  # how much softer the "no" is than each "yes"
DURATA_MASSIMA_S = 1.0


def leggi(percorso):
    with wave.open(str(percorso), "rb") as w:
        assert w.getsampwidth() == 2 and w.getnchannels() == 1, f"{percorso}: not 16-bit mono"
        n = w.getnframes()
        campioni = struct.unpack(f"<{n}h", w.readframes(n))
        return [c / 32768.0 for c in campioni], w.getframerate()


def rms_db(campioni):
    energia = sum(c * c for c in campioni) / len(campioni)
    return 10 * math.log10(energia)


def quota_sopra(campioni, frequenza, taglio):
    """Share of the energy above `taglio` Hz, from the power spectrum (a plain
    DFT over frequency bins 10 Hz apart, enough for a tone of under a second)."""
    n = len(campioni)
    sopra = sotto = 0.0
    passo = 10.0
    f = passo
    while f < frequenza / 2:
        w = 2 * math.pi * f / frequenza
        # Goertzel's recurrence: the power at one frequency in one pass.
        coeff = 2 * math.cos(w)
        s1 = s2 = 0.0
        for c in campioni:
            s1, s2 = c + coeff * s1 - s2, s1
        potenza = s1 * s1 + s2 * s2 - coeff * s1 * s2
        if f >= taglio:
            sopra += potenza
        else:
            sotto += potenza
        f += passo
        if f > 8000:  # what is left above 8 kHz adds nothing to these tones
            break
    return sopra / (sopra + sotto)


def main():
    cartella = Path(sys.argv[1]) / "suoni"
    errori = []
    livelli = {}
    for nome in SI + [NO]:
        campioni, frequenza = leggi(cartella / nome)
        durata = len(campioni) / frequenza
        livelli[nome] = rms_db(campioni)
        print(f"{nome}: {durata:.2f} s, RMS {livelli[nome]:.1f} dBFS")
        if durata > DURATA_MASSIMA_S:
            errori.append(f"{nome} lasts {durata:.2f} s, more than {DURATA_MASSIMA_S} s")
        if nome == NO:
            # Every other sample is enough below 8 kHz and halves the work.
            quota = quota_sopra(campioni[::2], frequenza / 2, TAGLIO_HZ)
            print(f"{nome}: {quota:.1%} of the energy above {TAGLIO_HZ:.0f} Hz")
            if quota < QUOTA_MINIMA:
                errori.append(f"{nome}: only {quota:.1%} of the energy above {TAGLIO_HZ:.0f} Hz")
    media_si = sum(livelli[n] for n in SI) / len(SI)
    for n in SI:
        if abs(livelli[n] - media_si) > SCARTO_SI_DB:
            errori.append(f"{n}: {livelli[n]:.1f} dBFS, {livelli[n] - media_si:+.1f} dB from the yes sounds' mean")
        scarto = livelli[n] - livelli[NO]
        if not NO_PIU_PIANO_DB[0] <= scarto <= NO_PIU_PIANO_DB[1]:
            errori.append(f"no.wav is {scarto:.1f} dB under {n}, not within {NO_PIU_PIANO_DB}")
    for e in errori:
        print("FAIL:", e)
    return 1 if errori else 0


if __name__ == "__main__":
    sys.exit(main())
