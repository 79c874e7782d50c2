// SPDX-License-Identifier: GPL-3.0-or-later
// The picture decoder on real and hostile files: what plays, and for what is refused, a message that
// says in Italian what is wrong. Cost bounds are asserted on the real program (tst_dati_rovinati).

#include "jpeg_ostili.h"
#include "ui/errori.h"
#include "ui/immagini.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace jpegostili;

class TestImmaginiOstili : public QObject
{
    Q_OBJECT
private slots:
    void leggi_data();
    void leggi();
    void orientamento_data();
    void orientamento();
    void cartellaConNomeDiImmagine();
    void verdettoRicordatoFinoAUnCambio();
    void riduzioneComeQt_data();
    void riduzioneComeQt();

private:
    QTemporaryDir cartella;
    // What a reading says, as one line: the error, or the sizes and the damage found.
    template <typename Lettura>
    static QString verdetto(Lettura &&leggi)
    {
        try {
            const immagini::Lettura l = leggi();
            return QStringLiteral("%1x%2 avvisi=%3 orientamento=%4")
                .arg(l.originale.width())
                .arg(l.originale.height())
                .arg(l.avvisi)
                .arg(l.orientamento);
        } catch (const Errore &e) {
            return e.messaggio();
        }
    }
    QString scrivi(const QByteArray &byte)
    {
        const QString p = cartella.filePath(QStringLiteral("prova.jpg"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(byte) != byte.size())
            qFatal("cannot write %s", qPrintable(p));
        return p;
    }
};

void TestImmaginiOstili::leggi_data()
{
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("errore"); // empty: the picture plays; else a part of the message
    QTest::addColumn<bool>("rovinata"); // plays, with data the decoder had to fill in

    QTest::newRow("phone photo, 108 MP") << jpegPiatto(QSize(12000, 9000)) << QString() << false;
    QTest::newRow("small picture") << jpeg(QSize(20, 10)) << QString() << false;
    QTest::newRow("progressive photo") << jpeg(QSize(800, 600), true) << QString() << false;
    const QByteArray intera = jpeg(QSize(300, 300));
    QTest::newRow("truncated") << intera.left(intera.size() / 2) << QString() << true;
    QTest::newRow("coefficient bomb") << bombaCoefficienti(10000) << "troppa memoria" << false;
    QTest::newRow("scan bomb") << bombaScansioni(6000) << "più di 100 passate" << false;
    QTest::newRow("header claiming 60000 x 60000")
        << conFrame(jpeg(QSize(16, 16)), QSize(60000, 60000)) << "troppo grande" << false;
    QTest::newRow("12-bit") << conFrame(jpeg(QSize(16, 16)), QSize(16, 16), 12) << "12 bit" << false;
    QTest::newRow("lossless") << conFrame(jpeg(QSize(16, 16)), QSize(16, 16), 8, 0xC3) << "senza perdita"
                              << false;
    QTest::newRow("16-bit lossless") << conFrame(jpeg(QSize(16, 16)), QSize(16, 16), 16, 0xC3)
                                     << "senza perdita" << false;
    QTest::newRow("zero width") << conFrame(jpeg(QSize(16, 16)), QSize(0, 16)) << "larghezza o altezza zero"
                                << false;
    QTest::newRow("empty file") << QByteArray() << "vuoto" << false;
    QTest::newRow("not a picture") << QByteArray("cane\n") << "non è un'immagine JPEG" << false;
    QTest::newRow("SVG named .jpg") << svgConImmagine("altro.png") << "è in formato svg" << false;
    QTest::newRow("100 scans, 4000 x 4000")
        << jpegCentoPassate(QSize(4000, 4000), false) << "troppe passate" << false;
    QTest::newRow("100 scans, 800 x 600, plays")
        << jpegCentoPassate(QSize(800, 600), true) << QString() << false;
    QTest::newRow("JPEG start, then garbage") << QByteArray("\xFF\xD8garbage") << "rovinato" << false;
}

void TestImmaginiOstili::leggi()
{
    QFETCH(QByteArray, byte);
    QFETCH(QString, errore);
    QFETCH(bool, rovinata);
    const QString percorso = scrivi(byte);
    const QSize riquadro(231, 231);
    try {
        const immagini::Lettura l = immagini::leggi(percorso, riquadro);
        QVERIFY2(errore.isEmpty(), "the picture played where an error was expected");
        QCOMPARE(l.immagine.size(), riquadro);
        QCOMPARE(l.avvisi > 0, rovinata);
    } catch (const Errore &e) {
        QVERIFY2(!errore.isEmpty(), qPrintable(e.messaggio()));
        QVERIFY2(e.messaggio().contains(errore), qPrintable(e.messaggio()));
        QVERIFY2(e.messaggio().contains(QStringLiteral("prova.jpg")), qPrintable(e.messaggio()));
    }
    // The checker's verdict without the picture is the game's, word for word.
    QCOMPARE(verdetto([&] { return immagini::esamina(percorso, riquadro); }),
        verdetto([&] { return immagini::leggi(percorso, riquadro); }));
}

void TestImmaginiOstili::orientamento_data()
{
    QTest::addColumn<int>("orientamento");
    QTest::addColumn<QPoint>("angoloRosso"); // where the stored picture's top-left corner shows
    QTest::newRow("1 as stored") << 1 << QPoint(0, 0);
    QTest::newRow("2 mirrored") << 2 << QPoint(1, 0);
    QTest::newRow("3 half turn") << 3 << QPoint(1, 1);
    QTest::newRow("4 flipped") << 4 << QPoint(0, 1);
    QTest::newRow("5 transposed") << 5 << QPoint(0, 0);
    QTest::newRow("6 quarter turn clockwise, a phone held upright") << 6 << QPoint(1, 0);
    QTest::newRow("7 transversed") << 7 << QPoint(1, 1);
    QTest::newRow("8 quarter turn anticlockwise") << 8 << QPoint(0, 1);
}

void TestImmaginiOstili::orientamento()
{
    QFETCH(int, orientamento);
    QFETCH(QPoint, angoloRosso);
    // 64 x 32, a red quarter in the top-left corner, the rest blue.
    QImage img(64, 32, QImage::Format_RGB32);
    img.fill(Qt::blue);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray byte;
    QBuffer b(&byte);
    b.open(QIODevice::WriteOnly);
    QVERIFY(img.save(&b, "JPEG", 95));
    const immagini::Lettura l = immagini::leggi(scrivi(conOrientamento(byte, orientamento)), QSize(40, 40));
    QCOMPARE(l.orientamento, orientamento);
    QCOMPARE(l.originale, orientamento >= 5 ? QSize(32, 64) : QSize(64, 32));
    const QPoint centro(10 + 20 * angoloRosso.x(), 10 + 20 * angoloRosso.y());
    const QRgb c = l.immagine.pixel(centro);
    QVERIFY2(qRed(c) > 200 && qBlue(c) < 60,
        qPrintable(QStringLiteral("orientation %1: not red at %2,%3")
                       .arg(orientamento)
                       .arg(centro.x())
                       .arg(centro.y())));
}

// A verdict is kept for the same file only: one rewritten in place or replaced is decoded again.
void TestImmaginiOstili::verdettoRicordatoFinoAUnCambio()
{
    const QSize riquadro(231, 231);
    auto esamina = [&](const QString &p) { return verdetto([&] { return immagini::esamina(p, riquadro); }); };
    const QString percorso = scrivi(jpeg(QSize(300, 200)));
    const QString buona = esamina(percorso);
    QVERIFY2(buona.startsWith(QStringLiteral("300x200 avvisi=0")), qPrintable(buona));
    QCOMPARE(esamina(percorso), buona);
    scrivi(QByteArray("cane\n"));
    QVERIFY2(
        esamina(percorso).contains(QStringLiteral("non è un'immagine JPEG")), qPrintable(esamina(percorso)));
    // Another file put in its place by name (a new inode), as an editor's save does.
    const QString accanto = cartella.filePath(QStringLiteral("nuova.jpg"));
    QFile nuova(accanto);
    QVERIFY(nuova.open(QIODevice::WriteOnly) && nuova.write(jpeg(QSize(20, 10))) > 0);
    nuova.close();
    QVERIFY(
        std::rename(QFile::encodeName(accanto).constData(), QFile::encodeName(percorso).constData()) == 0);
    QVERIFY2(esamina(percorso).startsWith(QStringLiteral("20x10 avvisi=")), qPrintable(esamina(percorso)));
    // A missing file is never answered from what was kept.
    QVERIFY(QFile::remove(percorso));
    QVERIFY2(esamina(percorso).contains(QStringLiteral("non trovata")), qPrintable(esamina(percorso)));
}

void TestImmaginiOstili::cartellaConNomeDiImmagine()
{
    QVERIFY(QDir(cartella.path()).mkdir(QStringLiteral("cane.jpg")));
    try {
        immagini::leggi(cartella.filePath(QStringLiteral("cane.jpg")), QSize(40, 40));
        QFAIL("a folder was read as a picture");
    } catch (const Errore &e) {
        QVERIFY2(e.messaggio().contains(QStringLiteral("è una cartella")), qPrintable(e.messaggio()));
    }
}

// The decoder's reduction against Qt's decode of the whole picture then its smooth scale: the same
// picture to the eye, pixel by pixel.
void TestImmaginiOstili::riduzioneComeQt_data()
{
    QTest::addColumn<QString>("file"); // a shipped picture, or empty for the photo-like one below
    QTest::addColumn<QSize>("riquadro");

    // The game's box is 231 x 231, 347 x 347 on a screen at 1.5x. Sharp edges (a zebra's stripes)
    // differ most: Qt's filter and the DCT's scaling round them differently.
    for (const char *nome : {"cane", "luna", "zebra", "gelato"}) {
        QTest::addRow("%s.jpg, game box", nome) << QString::fromLatin1(nome) << QSize(231, 231);
        QTest::addRow("%s.jpg, 1.5x screen", nome) << QString::fromLatin1(nome) << QSize(347, 347);
    }
    QTest::newRow("photo 3000 x 2000, game box") << QString() << QSize(231, 231);
    QTest::newRow("photo 3000 x 2000, stretched") << QString() << QSize(300, 120);
    QTest::newRow("photo 3000 x 2000, at 1/8 and a little less") << QString() << QSize(370, 240);
    // Decoded at 1/8 to 375 x 250, over four times the box: reduced row by row, not held whole.
    QTest::newRow("photo 3000 x 2000, small box, reduced as it decodes") << QString() << QSize(120, 80);
}

void TestImmaginiOstili::riduzioneComeQt()
{
    QFETCH(QString, file);
    QFETCH(QSize, riquadro);
    QString percorso = QStringLiteral(BATTICCO_DATI "/jpg/%1.jpg").arg(file);
    if (file.isEmpty()) {
        QImage foto(3000, 2000, QImage::Format_RGB32);
        for (int y = 0; y < foto.height(); ++y) {
            auto *riga = reinterpret_cast<QRgb *>(foto.scanLine(y));
            for (int x = 0; x < foto.width(); ++x)
                riga[x]
                    = qRgb(x * 255 / foto.width(), y * 255 / foto.height(), ((x / 40 + y / 40) % 2) * 200);
        }
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        foto.save(&b, "JPEG", 90);
        percorso = scrivi(b.data());
    }
    const QImage nostra = immagini::leggi(percorso, riquadro).immagine.convertToFormat(QImage::Format_RGB32);
    const QImage qt = QImage(percorso)
                          .scaled(riquadro, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
    QCOMPARE(nostra.size(), riquadro);
    int peggiore = 0;
    double somma = 0;
    for (int y = 0; y < riquadro.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(nostra.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(qt.constScanLine(y));
        for (int x = 0; x < riquadro.width(); ++x) {
            for (int d : {qRed(a[x]) - qRed(b[x]), qGreen(a[x]) - qGreen(b[x]), qBlue(a[x]) - qBlue(b[x])}) {
                peggiore = qMax(peggiore, qAbs(d));
                somma += qAbs(d);
            }
        }
    }
    const double mediaTrovata = somma / (3.0 * riquadro.width() * riquadro.height());
    // Largest difference of one channel of one pixel, and the mean over all, of 255.
    QVERIFY2(peggiore <= 48 && mediaTrovata <= 1.5,
        qPrintable(QStringLiteral("largest %1, mean %2").arg(peggiore).arg(mediaTrovata)));
}

QTEST_GUILESS_MAIN(TestImmaginiOstili)
#include "tst_immagini_ostili.moc"
