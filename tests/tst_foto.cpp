// SPDX-License-Identifier: GPL-3.0-or-later
// The photos a teacher's phone takes: an iPhone's HEIC made here with libheif's own encoder, a
// 48-megapixel JPEG decoded at half its sides, and what she reads when a file still cannot be used.

#include "editor/Riquadro.h"
#include "ui/errori.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestFoto : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;

    // Red on the left half, blue on the right: where each half lands shows the photo upright and whole.
    static QImage metaEMeta(QSize misura)
    {
        QImage i(misura, QImage::Format_RGB32);
        i.fill(Qt::blue);
        for (int y = 0; y < misura.height(); ++y) {
            auto *riga = reinterpret_cast<QRgb *>(i.scanLine(y));
            std::fill(riga, riga + misura.width() / 2, qRgb(255, 0, 0));
        }
        return i;
    }
    static void metaEMetaVista(const QImage &foto)
    {
        const QColor sinistra = foto.pixelColor(foto.width() / 4, foto.height() / 2);
        const QColor destra = foto.pixelColor(foto.width() * 3 / 4, foto.height() / 2);
        QVERIFY2(sinistra.red() > 200 && sinistra.blue() < 60, qPrintable(sinistra.name()));
        QVERIFY2(destra.blue() > 200 && destra.red() < 60, qPrintable(destra.name()));
    }

private slots:
    void heic()
    {
        const QString codificatore = QStandardPaths::findExecutable(QStringLiteral("heif-enc"));
        if (codificatore.isEmpty())
            QSKIP("heif-enc missing (tools/install-deps.sh installs libheif-examples)");
        const QString png = temp.filePath(QStringLiteral("foto.png"));
        const QString heic = temp.filePath(QStringLiteral("IMG_0001.HEIC"));
        QVERIFY(metaEMeta(QSize(640, 480)).save(png));
        QProcess p;
        p.start(codificatore, {QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-o"), heic, png});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);

        const QImage foto = riquadro::caricaFoto(heic);
        QCOMPARE(foto.size(), QSize(640, 480));
        metaEMetaVista(foto);
        // What the game gets from it is the usual picture.
        const QImage figura = riquadro::ritaglia(foto, riquadro::alCentro(foto.size()));
        QCOMPARE(figura.size(), QSize(riquadro::lato, riquadro::lato));
    }

    void jpegDa48Megapixel()
    {
        const QString percorso = temp.filePath(QStringLiteral("48mp.jpg"));
        {
            QImageWriter w(percorso, "jpeg");
            w.setQuality(80);
            QVERIFY(w.write(metaEMeta(QSize(8000, 6000))));
        }
        QElapsedTimer tempo;
        tempo.start();
        const QImage foto = riquadro::caricaFoto(percorso);
        qInfo("8000 x 6000 JPEG read as %d x %d in %lld ms", foto.width(), foto.height(), tempo.elapsed());
        QCOMPARE(foto.size(), QSize(4000, 3000));
        metaEMetaVista(foto);
    }

    void rifiutiDiconoCheFare_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("contenuto");
        QTest::newRow("text named .heic") << "nota.heic" << QByteArray("non sono una foto\n");
        QTest::newRow("HEIF box with nothing inside") << "vuota.heic"
                                                      << QByteArray("\0\0\0\x18"
                                                                    "ftypheic\0\0\0\0mif1heic",
                                                             24);
        QTest::newRow("damaged PNG") << "rotta.png" << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        QTest::newRow("empty file") << "vuoto.jpg" << QByteArray();
    }
    void rifiutiDiconoCheFare()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, contenuto);
        const QString percorso = temp.filePath(nome);
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
        f.close();
        try {
            riquadro::caricaFoto(percorso);
            QFAIL("a file that is no photo was read");
        } catch (const Errore &e) {
            QVERIFY2(e.messaggio().contains(nome), qPrintable(e.messaggio()));
            QVERIFY2(e.messaggio().contains(QStringLiteral("salvala come JPEG")), qPrintable(e.messaggio()));
        }
    }
};

QTEST_MAIN(TestFoto)
#include "tst_foto.moc"
