// SPDX-License-Identifier: GPL-3.0-or-later
// In-process timings of the game's handlers on the real window (silent platform services, a data
// folder of its own), of the next picture against a bare libjpeg decode of the same files at the
// DCT scale the game picks and against a naive full-size decode then scale, and of the checker on a
// full folder against reading every one of its pictures with Qt.

#include "banco.h"
#include "game/VerificaDati.h"
#include "game/lettere.h"
#include "game/regole.h"
#include "materiale.h"
#include "ui/caselle.h"
#include "ui/immagini.h"
#include "ui/pulsanti.h"
#include "ui/riduzione.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <jpeglib.h>

namespace
{

// Words in the four-letter list, the one the game starts on: 200 with small pictures; with photos,
// 60 (a few hundred megabytes of copies), so one turn in 60 draws the word it shows.
int paroleCon(QSize dimensioneFoto)
{
    return dimensioneFoto.width() > 1000 ? 60 : 200;
}

// A data folder of 200 words in each list, each word with a picture file of its own (copies of one
// photo), so that no turn finds the picture it shows already decoded. With photos, the other lists
// have one word each. Without a size, the pictures are the game's own (480 x 480 drawings), a
// different one for each word as far as they go.
void cartellaPiena(const PiattaformaBanco &f, QSize dimensioneFoto, int bitRumore)
{
    QDir().mkpath(f.percorso(QStringLiteral("jpg")));
    QStringList origini;
    if (dimensioneFoto.isEmpty()) {
        const QDir spedite(QStringLiteral(BATTICCO_IMMAGINI_SPEDITE));
        for (const QString &n : spedite.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
            origini << spedite.filePath(n);
        if (origini.isEmpty())
            qFatal("no pictures in %s", BATTICCO_IMMAGINI_SPEDITE);
    } else {
        origini << f.percorso(QStringLiteral("jpg/prima.jpg"));
        foto(dimensioneFoto, bitRumore).save(origini[0], "JPEG", 85);
    }
    for (int lettere = 3; lettere <= 6; ++lettere) {
        QStringList parole;
        const int quante
            = lettere == 4 ? paroleCon(dimensioneFoto) : (paroleCon(dimensioneFoto) == 200 ? 200 : 1);
        for (int i = 0; i < quante; ++i) {
            parole << parolaNumero(i, lettere);
            QFile::copy(
                origini[i % origini.size()], f.percorso(QStringLiteral("jpg/%1.jpg").arg(parole.back())));
        }
        f.scrivi(QStringLiteral("lista%1.txt").arg(lettere), parole.join(u'\n').toUtf8() + '\n');
    }
    if (!dimensioneFoto.isEmpty())
        QFile::remove(origini[0]);
}

// The picture files of the words of one list, in the list's order.
QStringList fotoDellaLista(const PiattaformaBanco &f, int lettere, int quante)
{
    QStringList percorsi;
    for (int i = 0; i < quante; ++i)
        percorsi << f.percorso(QStringLiteral("jpg/%1.jpg").arg(parolaNumero(i, lettere)));
    return percorsi;
}

struct Banco {
    PiattaformaBanco f;
    std::unique_ptr<lettere> w;

    explicit Banco(QSize dimensioneFoto, int bitRumore = 28)
    {
        cartellaPiena(f, dimensioneFoto, bitRumore);
        w = std::make_unique<lettere>(f.piattaforma);
        w->Form_Load();
        if (f.uscita.stato >= 0)
            qFatal("the game did not load");
    }
};

void avanti(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    Banco b(dimensione, bitRumore);
    for (auto _ : stato) {
        b.w->Command1_Click();
        benchmark::DoNotOptimize(b.w->Image1->pixmap().cacheKey());
    }
}

void ingenuo(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    Banco b(dimensione, bitRumore);
    const QStringList percorsi = fotoDellaLista(b.f, 4, paroleCon(dimensione));
    const QSize lato = b.w->Image1->contentsRect().size();
    qsizetype i = 0;
    for (auto _ : stato) {
        const QString &percorso = percorsi[i++ % percorsi.size()];
        QImage img = QImage(percorso).scaled(lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(img.constBits());
    }
}

void scalata(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    Banco b(dimensione, bitRumore);
    const QStringList percorsi = fotoDellaLista(b.f, 4, paroleCon(dimensione));
    const QSize lato = b.w->Image1->contentsRect().size();
    qsizetype i = 0;
    for (auto _ : stato) {
        // A different file each time: the picture shown last is never asked for again.
        QImage img = immagini::caricaScalata(percorsi[i++ % percorsi.size()], lato);
        benchmark::DoNotOptimize(img.constBits());
    }
}

// The smallest DCT scale, in eighths, whose output covers the box, as the game picks it.
unsigned int scalaPerIlRiquadro(jpeg_decompress_struct *info, QSize lato)
{
    info->scale_denom = 8;
    for (unsigned int n = 1; n <= 8; ++n) {
        info->scale_num = n;
        jpeg_calc_output_dimensions(info);
        if (int(info->output_width) >= lato.width() && int(info->output_height) >= lato.height())
            return n;
    }
    return 8;
}

// Hands `file` to libjpeg and reads its header, as the game's reader does first.
void leggiIntestazione(jpeg_decompress_struct &info, jpeg_error_mgr &errori, std::FILE *file)
{
    info.err = jpeg_std_error(&errori);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
}

// What follows the bare decode: nothing, Qt's smooth scale to the box, or the game's own reduction.
enum class Poi { niente, scalaQt, riduzione };

// The floor for a new picture: libjpeg alone decoding the same file at the game's DCT scale into a
// buffer of 32-bit pixels, as the game's decoder is set up (no error handling, no window); then,
// as `poi` says, brought to the box's size.
void decodificaNuda(benchmark::State &stato, QSize dimensione, int bitRumore, Poi poi)
{
    Banco b(dimensione, bitRumore);
    const QStringList percorsi = fotoDellaLista(b.f, 4, paroleCon(dimensione));
    const QSize lato = b.w->Image1->contentsRect().size();
    std::vector<JSAMPLE> pixel;
    qsizetype i = 0;
    unsigned int scala = 0;
    for (auto _ : stato) {
        std::FILE *file = std::fopen(QFile::encodeName(percorsi[i++ % percorsi.size()]).constData(), "rb");
        jpeg_decompress_struct info;
        jpeg_error_mgr errori;
        leggiIntestazione(info, errori, file);
        info.out_color_space = JCS_EXT_BGRA;
        info.dct_method = JDCT_ISLOW;
        scala = scalaPerIlRiquadro(&info, lato);
        jpeg_start_decompress(&info);
        const std::size_t passo = std::size_t(info.output_width) * 4;
        pixel.resize(passo * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW riga = pixel.data() + passo * info.output_scanline;
            jpeg_read_scanlines(&info, &riga, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        benchmark::DoNotOptimize(pixel.data());
        if (poi != Poi::niente) {
            const QImage decodificata(pixel.data(), int(info.output_width), int(info.output_height),
                qsizetype(passo), QImage::Format_RGB32);
            const QImage alRiquadro = poi == Poi::scalaQt
                ? decodificata.scaled(lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                : immagini::ridotta(decodificata, lato.boundedTo(decodificata.size()));
            benchmark::DoNotOptimize(alRiquadro.constBits());
        }
    }
    stato.counters["scala_ottavi"] = scala;
}

void jpegNudo(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    decodificaNuda(stato, dimensione, bitRumore, Poi::niente);
}

// The same, then scaled to the box by Qt's smooth filter, as the picture must be to be shown there.
void jpegNudoAlRiquadro(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    decodificaNuda(stato, dimensione, bitRumore, Poi::scalaQt);
}

// The same, then reduced to the box by the game's own reduction: what is left of avanti beyond it
// is the game's own work (finding the file, its checks, the window).
void jpegNudoRidotto(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    decodificaNuda(stato, dimensione, bitRumore, Poi::riduzione);
}

// The same decode by the command-line djpeg, a process of its own for each file: start-up included.
void djpeg(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    Banco b(dimensione, bitRumore);
    const QStringList percorsi = fotoDellaLista(b.f, 4, paroleCon(dimensione));
    const QSize lato = b.w->Image1->contentsRect().size();
    std::FILE *primo = std::fopen(QFile::encodeName(percorsi[0]).constData(), "rb");
    jpeg_decompress_struct info;
    jpeg_error_mgr errori;
    leggiIntestazione(info, errori, primo);
    const QByteArray scala = QByteArray::number(scalaPerIlRiquadro(&info, lato)) + "/8";
    jpeg_destroy_decompress(&info);
    std::fclose(primo);
    qsizetype i = 0;
    for (auto _ : stato) {
        const QByteArray file = QFile::encodeName(percorsi[i++ % percorsi.size()]);
        const char *argomenti[] = {
            "djpeg", "-scale", scala.constData(), "-bmp", "-outfile", "/dev/null", file.constData(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, const_cast<char **>(argomenti), environ) != 0) {
            stato.SkipWithError("djpeg did not start (libjpeg-turbo-progs)");
            break;
        }
        int esito = 0;
        ::waitpid(pid, &esito, 0);
    }
}

void tastoSulloSchermo(benchmark::State &stato)
{
    Banco b(QSize(480, 480));
    int i = 0;
    for (auto _ : stato) {
        // Wrong and right keys alike; a finished word starts again without loading a picture.
        b.w->batticco_Click(i++ % 26);
        if (b.w->stato.posizione == b.w->stato.lunghezza)
            b.w->stato.posizione = 0;
    }
}

void rilascioTasto(benchmark::State &stato)
{
    Banco b(QSize(480, 480));
    b.w->mnuPc_Click();
    CasellaTesto *casella = b.w->Text1[0];
    casella->setText(QStringLiteral("X"));
    for (auto _ : stato)
        b.w->Text1_KeyUp(0, 'X', 0);
}

void cambioLista(benchmark::State &stato)
{
    Banco b(QSize(480, 480));
    for (auto _ : stato)
        b.w->mnu5_Click();
    if (b.w->stato.numParole != 200)
        stato.SkipWithError("the list did not have 200 words");
}

// The list part of a switch alone: reading, decoding and splitting 200 words, without the picture.
void letturaLista(benchmark::State &stato)
{
    Banco b(QSize(480, 480));
    b.w->stato.nomeLista = QStringLiteral("lista5.txt");
    for (auto _ : stato)
        b.w->caricaLista();
}

// The checker on 800 words, each with a 480 x 480 picture of its own. First check: every picture
// file touched before each round, as if all were new; again: unchanged, as at an editor's save.
void controllo(benchmark::State &stato, bool tocca)
{
    PiattaformaBanco f;
    cartellaPiena(f, QSize(480, 480), 28);
    const QStringList foto = QDir(f.percorso(QStringLiteral("jpg"))).entryList(QDir::Files);
    verifica::controlla(f.cartella.path());
    std::int64_t ora = 1'000'000'000;
    for (auto _ : stato) {
        if (tocca) {
            stato.PauseTiming();
            ++ora;
            const struct timespec tempi[2] = {{ora, 0}, {ora, 0}};
            for (const QString &n : foto)
                ::utimensat(AT_FDCWD, QFile::encodeName(f.percorso(QStringLiteral("jpg/") + n)).constData(),
                    tempi, 0);
            stato.ResumeTiming();
        }
        const verifica::Esito esito = verifica::controlla(f.cartella.path());
        benchmark::DoNotOptimize(esito.risultati.size());
    }
}

// The floor for the checker: every one of those pictures decoded by Qt's reader, nothing checked.
void letturaQt(benchmark::State &stato)
{
    PiattaformaBanco f;
    cartellaPiena(f, QSize(480, 480), 28);
    QStringList foto;
    for (const QString &n : QDir(f.percorso(QStringLiteral("jpg"))).entryList(QDir::Files))
        foto << f.percorso(QStringLiteral("jpg/") + n);
    for (auto _ : stato) {
        for (const QString &p : foto) {
            QImage img = QImageReader(p).read();
            benchmark::DoNotOptimize(img.constBits());
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(controllo, prima, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(controllo, ancora, false)->Unit(benchmark::kMillisecond);
BENCHMARK(letturaQt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudo, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudo, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudo, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudo, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudoAlRiquadro, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudoAlRiquadro, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudoRidotto, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(jpegNudoRidotto, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(djpeg, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ingenuo, shipped, QSize(), 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ingenuo, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ingenuo, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ingenuo, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
BENCHMARK(tastoSulloSchermo)->Unit(benchmark::kMicrosecond);
BENCHMARK(rilascioTasto)->Unit(benchmark::kMicrosecond);
BENCHMARK(cambioLista)->Unit(benchmark::kMicrosecond);
BENCHMARK(letturaLista)->Unit(benchmark::kMicrosecond);

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
