// SPDX-License-Identifier: GPL-3.0-or-later
// In-process timings of the game's handlers on the real window (fake platform services, a data
// folder of its own), and of the next picture against a naive full-size decode then scale.

#include "../tests/finte.h"
#include "game/lettere.h"
#include "game/regole.h"
#include "ui/caselle.h"
#include "ui/immagini.h"
#include "ui/pulsanti.h"

#include <QApplication>
#include <QImage>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

// A photo-like picture: gradients with noise of up to 2^(32 - bitRumore) levels. Detailed (16 levels)
// a 12-megapixel one is a 2.7 MB file, like a camera's; smooth (2 levels) it is a 0.3 MB file.
void foto(const QString &percorso, QSize dimensione, int bitRumore)
{
    QImage img(dimensione, QImage::Format_RGB32);
    quint32 seme = 12345;
    for (int y = 0; y < img.height(); ++y) {
        auto *riga = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            seme = seme * 1664525u + 1013904223u;
            const int rumore = int(seme >> bitRumore);
            riga[x] = qRgb((x * 255 / img.width() + rumore) & 0xFF, (y * 255 / img.height() + rumore) & 0xFF,
                ((x + y) / 8 + rumore) & 0xFF);
        }
    }
    img.save(percorso, "JPEG", 85);
}

struct Banco {
    PiattaformaFinta f;
    std::unique_ptr<lettere> w;

    explicit Banco(QSize dimensioneFoto, int bitRumore = 28)
    {
        const QStringList parole {"cane", "lupo", "orso", "topo"};
        f.scrivi(QStringLiteral("lista4.txt"), parole.join(u'\n').toUtf8() + '\n');
        QStringList lunga;
        for (int i = 0; i < 200; ++i)
            lunga << parole[i % parole.size()].leftJustified(5, u'a');
        f.scrivi(QStringLiteral("lista5.txt"), lunga.join(u'\n').toUtf8() + '\n');
        for (const char *l : {"lista3.txt", "lista6.txt"})
            f.scrivi(QString::fromLatin1(l), "cane\n");
        QDir().mkpath(f.percorso(QStringLiteral("jpg")));
        foto(f.percorso(QStringLiteral("jpg/cane.jpg")), dimensioneFoto, bitRumore);
        for (const char *p : {"lupo", "orso", "topo", "canea", "lupoa", "orsoa", "topoa"})
            QFile::copy(f.percorso(QStringLiteral("jpg/cane.jpg")),
                f.percorso(QStringLiteral("jpg/%1.jpg").arg(QLatin1String(p))));
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
    const QString percorso = b.f.percorso(QStringLiteral("jpg/cane.jpg"));
    const QSize lato = b.w->Image1->contentsRect().size();
    for (auto _ : stato) {
        QImage img = QImage(percorso).scaled(lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(img.constBits());
    }
}

void scalata(benchmark::State &stato, QSize dimensione, int bitRumore)
{
    Banco b(dimensione, bitRumore);
    const QString percorso = b.f.percorso(QStringLiteral("jpg/cane.jpg"));
    const QSize lato = b.w->Image1->contentsRect().size();
    for (auto _ : stato) {
        QImage img = immagini::caricaScalata(percorso, lato);
        benchmark::DoNotOptimize(img.constBits());
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

} // namespace

BENCHMARK_CAPTURE(avanti, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(avanti, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 480x480, QSize(480, 480), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 4000x3000_detailed, QSize(4000, 3000), 28)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scalata, 4000x3000_smooth, QSize(4000, 3000), 31)->Unit(benchmark::kMillisecond);
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
