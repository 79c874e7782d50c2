// SPDX-License-Identifier: GPL-3.0-or-later
// The square frame on a teacher's photo: where it stands, and the game's picture cut from a photo
// that its camera stored sideways with an EXIF orientation.

#include "editor/Riquadro.h"
#include "ui/errori.h"

#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestRiquadro : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;

    // Left half red, right half blue, as the camera's sensor saw it.
    static QImage sensore(QSize misura)
    {
        QImage i(misura, QImage::Format_RGB32);
        i.fill(Qt::blue);
        QPainter p(&i);
        p.fillRect(0, 0, misura.width() / 2, misura.height(), Qt::red);
        return i;
    }

    static bool rosso(QRgb c) { return qRed(c) > 180 && qBlue(c) < 80; }
    static bool blu(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80; }

private slots:
    void quadrato_data()
    {
        QTest::addColumn<QSize>("foto");
        QTest::addColumn<QPointF>("centro");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QRectF>("atteso");
        QTest::newRow("a 4:3 photo starts centred on its full height")
            << QSize(1600, 1200) << QPointF(800, 600) << 1.0 << QRectF(200, 0, 1200, 1200);
        QTest::newRow("a portrait photo on its full width")
            << QSize(1200, 1600) << QPointF(600, 800) << 1.0 << QRectF(0, 200, 1200, 1200);
        QTest::newRow("zoom 2 halves the side")
            << QSize(1600, 1200) << QPointF(800, 600) << 2.0 << QRectF(500, 300, 600, 600);
        QTest::newRow("dragged past the left edge it stops there")
            << QSize(1600, 1200) << QPointF(-500, 600) << 1.0 << QRectF(0, 0, 1200, 1200);
        QTest::newRow("dragged past the bottom right it stops there")
            << QSize(1600, 1200) << QPointF(5000, 5000) << 2.0 << QRectF(1000, 600, 600, 600);
        QTest::newRow("zoom below 1 is 1")
            << QSize(1000, 500) << QPointF(500, 250) << 0.2 << QRectF(250, 0, 500, 500);
        QTest::newRow("zoom stops at the most")
            << QSize(1000, 1000) << QPointF(500, 500) << 1000.0 << QRectF(450, 450, 100, 100);
        QTest::newRow("a square photo whole")
            << QSize(48, 48) << QPointF(24, 24) << 1.0 << QRectF(0, 0, 48, 48);
    }
    void quadrato()
    {
        QFETCH(QSize, foto);
        QFETCH(QPointF, centro);
        QFETCH(double, zoom);
        QFETCH(QRectF, atteso);
        QCOMPARE(riquadro::quadrato(foto, {centro, zoom}), atteso);
    }

    void alCentro()
    {
        QCOMPARE(riquadro::quadrato(QSize(4000, 3000), riquadro::alCentro(QSize(4000, 3000))),
            QRectF(500, 0, 3000, 3000));
    }

    // The photo as stored is 400 x 300, red on the left; the tag says how to turn it upright.
    void orientamentoExif_data()
    {
        QTest::addColumn<int>("trasformazione");
        QTest::addColumn<QSize>("dritta");
        QTest::addColumn<QString>("rossoA"); // where the red half is once upright
        QTest::newRow("1: as stored")
            << int(QImageIOHandler::TransformationNone) << QSize(400, 300) << "sinistra";
        QTest::newRow("2: mirrored") << int(QImageIOHandler::TransformationMirror) << QSize(400, 300)
                                     << "destra";
        QTest::newRow("3: upside down")
            << int(QImageIOHandler::TransformationRotate180) << QSize(400, 300) << "destra";
        QTest::newRow("6: a phone held upright")
            << int(QImageIOHandler::TransformationRotate90) << QSize(300, 400) << "sopra";
        QTest::newRow("8: held the other way")
            << int(QImageIOHandler::TransformationRotate270) << QSize(300, 400) << "sotto";
    }
    void orientamentoExif()
    {
        QFETCH(int, trasformazione);
        QFETCH(QSize, dritta);
        QFETCH(QString, rossoA);
        const QString file = temp.filePath(QStringLiteral("foto%1.jpg").arg(trasformazione));
        {
            QImageWriter w(file, "jpeg");
            if (!w.supportsOption(QImageIOHandler::ImageTransformation))
                QSKIP("this Qt writes no EXIF orientation");
            w.setTransformation(QImageIOHandler::Transformations(trasformazione));
            w.setQuality(95);
            QVERIFY(w.write(sensore(QSize(400, 300))));
        }
        const QImage foto = riquadro::caricaFoto(file);
        QCOMPARE(foto.size(), dritta);
        const QImage figura = riquadro::ritaglia(foto, riquadro::alCentro(foto.size()));
        QCOMPARE(figura.size(), QSize(riquadro::lato, riquadro::lato));
        const int a = riquadro::lato / 8;
        const int b = riquadro::lato - a;
        const int m = riquadro::lato / 2;
        const QRgb sinistra = figura.pixel(a, m), destra = figura.pixel(b, m), sopra = figura.pixel(m, a),
                   sotto = figura.pixel(m, b);
        if (rossoA == u"sinistra")
            QVERIFY(rosso(sinistra) && blu(destra));
        else if (rossoA == u"destra")
            QVERIFY(rosso(destra) && blu(sinistra));
        else if (rossoA == u"sopra")
            QVERIFY(rosso(sopra) && blu(sotto));
        else
            QVERIFY(rosso(sotto) && blu(sopra));
    }

    // The frame's square, not the whole photo, becomes the picture: nothing is stretched.
    void ritaglioSenzaStirare()
    {
        QImage foto(1600, 1200, QImage::Format_RGB32);
        foto.fill(Qt::yellow);
        QPainter p(&foto);
        p.fillRect(200, 0, 1200, 1200, Qt::green);
        p.fillRect(700, 500, 200, 200, Qt::red); // a square in the middle stays a square
        p.end();
        const QImage figura = riquadro::ritaglia(foto, riquadro::alCentro(foto.size()));
        for (int i = 0; i < riquadro::lato; i += 7)
            QVERIFY2(figura.pixelColor(i, 5).green() > 200 && figura.pixelColor(i, 5).red() < 60,
                "yellow strip inside");
        int rossi = 0;
        for (int x = 0; x < riquadro::lato; ++x)
            rossi += figura.pixelColor(x, riquadro::lato / 2).red() > 200;
        QVERIFY(qAbs(rossi - 80) <= 2); // 200 of 1200 pixels -> 80 of 480
        // and it is a JPEG the game reads
        const QImage letta = QImage::fromData(riquadro::jpeg(figura), "jpeg");
        QCOMPARE(letta.size(), QSize(riquadro::lato, riquadro::lato));
    }

    void formatiEErrori()
    {
        const QImage piccola = sensore(QSize(48, 48));
        for (const char *formato : {"png", "bmp", "gif", "webp"}) {
            const QString file = temp.filePath(QStringLiteral("piccola.") + QString::fromLatin1(formato));
            if (!QImageWriter(file, formato).write(piccola))
                continue; // no writer for it in this Qt
            const QImage foto = riquadro::caricaFoto(file);
            QCOMPARE(foto.size(), QSize(48, 48));
            QCOMPARE(riquadro::ritaglia(foto, riquadro::alCentro(foto.size())).size(),
                QSize(riquadro::lato, riquadro::lato));
        }
        QFile finto(temp.filePath(QStringLiteral("finto.jpg")));
        QVERIFY(finto.open(QIODevice::WriteOnly));
        finto.write("non sono una foto");
        finto.close();
        QVERIFY_THROWS_EXCEPTION(Errore, riquadro::caricaFoto(finto.fileName()));
        QVERIFY_THROWS_EXCEPTION(Errore, riquadro::caricaFoto(temp.filePath(QStringLiteral("manca.png"))));
    }

    // A JPEG photo is held at the size the frame needs at zoom 1 (its short side at least lato),
    // and a zoomed frame reads the file again: the picture is the one a whole decode gives.
    void fotoAllaMisuraDelRiquadro_data()
    {
        QTest::addColumn<QSize>("foto");
        QTest::addColumn<QSize>("tenuta");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("girata"); // stored lying, upright by its EXIF orientation
        QTest::newRow("12 megapixels: a quarter of its sides")
            << QSize(4000, 3000) << QSize(1000, 750) << 4.0 << false;
        QTest::newRow("upright: a half, zoom 1 from what is held")
            << QSize(1100, 1600) << QSize(550, 800) << 1.0 << false;
        QTest::newRow("upright, zoomed") << QSize(1100, 1600) << QSize(550, 800) << 3.0 << false;
        QTest::newRow("turned by EXIF, zoomed") << QSize(1100, 1600) << QSize(550, 800) << 3.0 << true;
        QTest::newRow("no pixels to spare: whole") << QSize(900, 700) << QSize(900, 700) << 10.0 << false;
    }
    void fotoAllaMisuraDelRiquadro()
    {
        QFETCH(QSize, foto);
        QFETCH(QSize, tenuta);
        QFETCH(double, zoom);
        QFETCH(bool, girata);
        // Fine detail: a grid of two-pixel lines, which a decode too small would blur away.
        const QSize salvata = girata ? foto.transposed() : foto;
        QImage disegno(salvata, QImage::Format_RGB32);
        for (int y = 0; y < salvata.height(); ++y) {
            for (int x = 0; x < salvata.width(); ++x)
                disegno.setPixel(x, y,
                    (x % 16 < 2 || y % 16 < 2)
                        ? qRgb(20, 20, 20)
                        : qRgb(x * 255 / salvata.width(), 200, y * 255 / salvata.height()));
        }
        const QString file = temp.filePath(
            QStringLiteral("griglia%1x%2%3.jpg").arg(foto.width()).arg(foto.height()).arg(girata));
        QImageWriter w(file, "jpeg");
        w.setQuality(95);
        if (girata) {
            if (!w.supportsOption(QImageIOHandler::ImageTransformation))
                QSKIP("this Qt writes no EXIF orientation");
            w.setTransformation(QImageIOHandler::TransformationRotate90);
        }
        QVERIFY(w.write(disegno));
        const riquadro::Foto f = riquadro::apriFoto(file);
        QCOMPARE(f.immagine.size(), tenuta);
        QCOMPARE(f.originale, foto);
        // Frames at the same place of the photo: one on what is held, one on the whole decode.
        const QPointF punto(foto.width() * 0.4, foto.height() * 0.6);
        const double k = tenuta.width() / double(foto.width());
        const QImage figura = riquadro::ritaglia(f, {punto * k, zoom});
        const QImage intera = riquadro::ritaglia(riquadro::caricaFoto(file), {punto, zoom});
        QCOMPARE(figura.size(), QSize(riquadro::lato, riquadro::lato));
        qint64 scarto = 0;
        for (int y = 0; y < riquadro::lato; ++y) {
            for (int x = 0; x < riquadro::lato; ++x)
                scarto += std::abs(qGreen(figura.pixel(x, y)) - qGreen(intera.pixel(x, y)))
                    + std::abs(qRed(figura.pixel(x, y)) - qRed(intera.pixel(x, y)));
        }
        const double medio = scarto / double(riquadro::lato * riquadro::lato);
        QVERIFY2(medio < 12, qPrintable(QString::number(medio)));
    }
};

QTEST_MAIN(TestRiquadro)
#include "tst_riquadro.moc"
