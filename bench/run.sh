#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures Batticco against its baselines side by side in one run and prints medians and ratios:
# start-up (each window mapped, first painted, the game window painted with its picture) and peak
# memory against a bare Qt window (in an Xvfb of its own, every program in the same session, with a
# session bus of the script's own as on a desktop), the next picture against a naive
# full-size decode, the checker on 800 words against reading their pictures with Qt, and the
# handlers' times.
#
#   bench/run.sh [BUILD_DIR] [ROUNDS]     (defaults: build, 15)
#
# With SERVER_SUONI=1 in the environment the game's peak memory is also measured with its sounds
# going to a PulseAudio server of the script's own (a null sink, in a temporary folder), as on a
# desktop, and the sound streams the server saw in each game are counted.
#
# The machine is shared and noisy: only ratios between figures of the same run mean anything.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$radice/build}" && pwd)"
giri="${2:-15}"
cmake --build "$build" --target batticco finestra_minima misura_avvio bench_gioco >/dev/null

misura="$build/bench/misura_avvio"
minima="$build/bench/finestra_minima"
gioco="$build/batticco/batticco"

# An X server of our own, on the first free display.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
read -r display <&3
server=""
suoni=""
fine() {
    kill "$xvfb" 2>/dev/null || true
    if [[ -n $server ]]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    [[ -z $suoni ]] || rm -rf "$suoni"
}
trap fine EXIT
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb

# One session bus for every program measured: without one the game skips the bus (it says so to Qt)
# while a bare Qt program tries to start one, and the two would not start alike.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
pidBus=$(sed -n 2p <<<"$bus")
fineBus() {
    kill "$pidBus" 2>/dev/null || true
    fine
}
trap fineBus EXIT

if [[ ${SERVER_SUONI:-} == 1 ]]; then
    # A sound server with no sound card, with a home and a runtime folder of its own; the game
    # finds it through XDG_RUNTIME_DIR, the way it finds a desktop's.
    suoni=$(mktemp -d)
    mkdir -m 700 "$suoni/rt" "$suoni/casa" "$suoni/pactl"
    HOME="$suoni/casa" XDG_RUNTIME_DIR="$suoni/rt" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --use-pid-file=no -L module-null-sink -L module-native-protocol-unix >/dev/null 2>&1 &
    server=$!
    pactl_() { PULSE_SERVER="unix:$suoni/rt/pulse/native" HOME="$suoni/pactl" pactl "$@"; }
    for ((i = 0; i < 100; ++i)); do
        pactl_ info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl_ info >/dev/null 2>&1 || { echo "the sound server did not start" >&2; exit 1; }
fi

risultati=$(mktemp)
# Rounds alternate the programs, so a busy moment of the machine falls on all of them alike.
# Each line: a name, then the moments misura_avvio gives (ms from exec), in its order.
for ((i = 0; i < giri; ++i)); do
    echo "avvio_minima $("$misura" finestra "$minima" 2>/dev/null)" >>"$risultati"
    echo "avvio_batticco $("$misura" finestra "$gioco" 2>/dev/null)" >>"$risultati"
    echo "gioco_batticco $("$misura" gioco "$gioco" 2>/dev/null || true)" >>"$risultati"
    echo "pausa_batticco $("$misura" gioco-pausa "$gioco" 2>/dev/null || true)" >>"$risultati"
done
for ((i = 0; i < 5; ++i)); do
    echo "memoria_minima $("$misura" partita-minima "$minima" 2>/dev/null)" >>"$risultati"
    echo "memoria_batticco $("$misura" partita "$gioco" 2>/dev/null)" >>"$risultati"
    if [[ -n $server ]]; then
        # Every sound the game plays is a new stream (sink input) on the server.
        eventi="$suoni/eventi"
        PULSE_SERVER="unix:$suoni/rt/pulse/native" HOME="$suoni/pactl" pactl subscribe >"$eventi" 2>/dev/null &
        ascolto=$!
        sleep 0.2
        echo "memoria_server $(XDG_RUNTIME_DIR="$suoni/rt" "$misura" partita "$gioco" 2>/dev/null)" >>"$risultati"
        sleep 0.2
        kill "$ascolto" 2>/dev/null || true
        wait "$ascolto" 2>/dev/null || true
        echo "suoni_server $(grep -c "'new' on sink-input" "$eventi" || true)" >>"$risultati"
    fi
done
json=$(mktemp)
"$build/bench/bench_gioco" --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

python3 - "$risultati" "$json" "$giri" <<'PY'
import json, statistics, sys
campioni = {}
for riga in open(sys.argv[1]):
    nome, *valori = riga.split()
    campioni.setdefault(nome, []).append([float(v) for v in valori])
def serie(nome, i=0):
    return [v[i] for v in campioni.get(nome, []) if len(v) > i]
m = {k: statistics.median(serie(k)) for k in campioni if serie(k)}
mediane = {b["run_name"]: b["real_time"] for b in json.load(open(sys.argv[2]))["benchmarks"]
           if b.get("aggregate_name") == "median"}

def riga(cosa, valore, unita, base, obiettivo):
    print(f"| {cosa} | {valore:.3g} {unita} | {valore / base:.2f} | {obiettivo} |")

# Start-up: every moment against the floor's window mapped and the floor's first paint of the same run.
mappa = serie("avvio_minima", 0)
pittura = serie("avvio_minima", 1)
baseMappa, basePittura = statistics.median(mappa), statistics.median(pittura)
print(f"Start-up: ms from exec, {sys.argv[3]} interleaved rounds; ratios of medians to the bare Qt window's")
print("| moment | min / median / max | to floor mapped | to floor painted | target |")
print("|---|---|---|---|---|")
def momento(cosa, valori, obiettivo=""):
    if not valori:
        print(f"| {cosa} | none measured | | | {obiettivo} |")
        return
    med = statistics.median(valori)
    print(f"| {cosa} | {min(valori):.1f} / {med:.1f} / {max(valori):.1f} | {med / baseMappa:.2f} | "
          f"{med / basePittura:.2f} | {obiettivo} |")
momento("bare Qt window mapped (floor)", mappa)
momento("bare Qt window first paint (floor)", pittura)
momento("start window mapped", serie("avvio_batticco", 0))
momento("start window first paint", serie("avvio_batticco", 1), "<= 1.00 of floor painted")
momento("game window mapped (Avvio at the start window's paint)", serie("gioco_batticco", 2))
momento("game window first paint", serie("gioco_batticco", 3))
momento("game window painted with its picture", serie("gioco_batticco", 4), "<= 1.2 of floor painted")
# From the key to the game window painted with its picture, the wait the child sees: with Avvio
# pressed at once, and half a second after the start window's paint, as a quick child presses it.
for nome, cosa in (("gioco_batticco", "at once"), ("pausa_batticco", "0.5 s after the start window's paint")):
    dopo = [v[4] - v[5] for v in campioni.get(nome, []) if len(v) > 5]
    if dopo:
        print(f"| from Avvio ({cosa}) to the game window with its picture | "
              f"{min(dopo):.1f} / {statistics.median(dopo):.1f} / {max(dopo):.1f} | | "
              f"{statistics.median(dopo) / basePittura:.2f} | |")
print()
print(f"Memory: median of 5 runs")
print("| measure | median | ratio to baseline | target |")
print("|---|---|---|---|")
print(f"| bare Qt window, peak memory (baseline) | {m['memoria_minima'] / 1024:.3g} MB | 1.00 | |")
riga("Batticco after a whole game, peak memory", m["memoria_batticco"] / 1024, "MB", m["memoria_minima"] / 1024,
     "<= 1.1")
# The second figure of a game: the peak with the first picture shown, before the first click.
primaFigura = serie("memoria_batticco", 1)
if primaFigura:
    riga("Batticco with its first picture, before play, peak memory", statistics.median(primaFigura) / 1024,
         "MB", m["memoria_minima"] / 1024, "")
if "memoria_server" in m:
    riga("Batticco after a whole game, sounds to a server, peak memory", m["memoria_server"] / 1024, "MB",
         m["memoria_minima"] / 1024, "<= 1.1")
    suoni = serie("suoni_server")
    print()
    print(f"Sound streams the server saw per game: {', '.join(str(int(n)) for n in suoni)}"
          + ("" if min(suoni) > 0 else "  (NO SOUND reached the server: the server figure is not of a game with sound)"))
print()
print("Next picture and handlers: median of 7 repetitions (Google Benchmark)")
print("| measure | median | ratio | target |")
print("|---|---|---|---|")
qt = mediane["letturaQt"]
print(f"| Qt's reader on the 800 pictures of 800 words, 480x480 each (baseline) | {qt:.3g} ms | 1.00 | |")
print(f"| checker (verifica::controlla), 800 words, first check | {mediane['controllo/prima']:.3g} ms | "
      f"{mediane['controllo/prima'] / qt:.2f} | under 500 ms |")
print(f"| checker again, pictures unchanged (an editor's save) | {mediane['controllo/ancora']:.3g} ms | "
      f"{mediane['controllo/ancora'] / qt:.2f} | |")
# The next picture against a bare libjpeg decode of the same files at the DCT scale the game picks
# (what any program showing them must do) and against Qt's naive full decode then smooth scale.
nomi = {"shipped": "the game's own drawings, 480x480", "480x480": "photo-like 480x480",
        "4000x3000_detailed": "4000x3000 photo, detailed", "4000x3000_smooth": "4000x3000 photo, smooth"}
for lato, cosa in nomi.items():
    nudo, ingenuo = mediane[f"jpegNudo/{lato}"], mediane[f"ingenuo/{lato}"]
    foto = lato.startswith("4000")
    print(f"| {cosa}: bare libjpeg decode at the game's scale (baseline) | {nudo:.3g} ms | 1.00 | |")
    print(f"| {cosa}: naive QImage(path).scaled | {ingenuo:.3g} ms | {ingenuo / nudo:.2f} | |")
    print(f"| {cosa}: caricaScalata | {mediane[f'scalata/{lato}']:.3g} ms | "
          f"{mediane[f'scalata/{lato}'] / nudo:.2f} | |")
    if f"jpegNudoAlRiquadro/{lato}" in mediane:
        alRiquadro = mediane[f"jpegNudoAlRiquadro/{lato}"]
        print(f"| {cosa}: the same bare decode, then Qt's smooth scale to the box | {alRiquadro:.3g} ms | "
              f"{alRiquadro / nudo:.2f} | |")
    if f"jpegNudoRidotto/{lato}" in mediane:
        ridotto = mediane[f"jpegNudoRidotto/{lato}"]
        print(f"| {cosa}: the same bare decode, then the game's reduction to the box | {ridotto:.3g} ms | "
              f"{ridotto / nudo:.2f} | |")
    avanti = mediane[f"avanti/{lato}"]
    print(f"| {cosa}: avanti (Command1_Click) to the new picture | {avanti:.3g} ms | {avanti / nudo:.2f} "
          f"({ingenuo / avanti:.2f} x faster than naive) | "
          f"{'>= 5 x faster than naive' if foto else '<= 1.3'} |")
if "djpeg/shipped" in mediane:
    print(f"| the game's own drawings: djpeg -scale, a process per file | {mediane['djpeg/shipped']:.3g} ms | "
          f"{mediane['djpeg/shipped'] / mediane['jpegNudo/shipped']:.2f} | |")
for nome, cosa in (("tastoSulloSchermo", "on-screen key (batticco_Click)"),
                   ("rilascioTasto", "key release (Text1_KeyUp)"),
                   ("cambioLista", "list switch, 200 words (mnu5_Click), new picture included"),
                   ("letturaLista", "of which the list alone (caricaLista)")):
    print(f"| {cosa} | {mediane[nome]:.3g} us | {mediane[nome] / 1000:.4f} of 1 ms | well under 1 ms |")
PY
rm -f "$risultati" "$json"

# --- The word editor (bench/misura_editor.cpp) --------------------------------------------------
# Its window on a folder of 800 words against the shipped folder, the window frozen by edits and
# Save, and a 12-megapixel photo against Qt's plain decode; on the display and bus set up above.
cmake --build "$build" --target misura_editor batticco-parole >/dev/null
echo
"$build/bench/misura_editor" tabella "$build/batticco/batticco-parole" "$build/batticco" "${GIRI_EDITOR:-5}" \
    2>/dev/null
# --- end of the word editor -------------------------------------------------------------------------
