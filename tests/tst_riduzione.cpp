// SPDX-License-Identifier: GPL-3.0-or-later
// The picture's reduction to the box against the exact area mean worked out in floating point, on
// the sizes the game meets (a picture decoded just above the box) and the edges of the code: an
// axis kept, one reduced four times, pictures of a pixel or three, widths that end between vectors.
#include "ui/riduzione.h"

#include <QColor>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>

namespace
{

enum class Disegno { rumore, sfumatura, tinta };

QImage disegno(QSize s, Disegno d)
{
    QImage im(s, QImage::Format_RGB32);
    QRandomGenerator caso(s.width() * 1000 + s.height());
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            switch (d) {
            case Disegno::rumore:
                im.setPixel(x, y, caso.generate() | 0xFF000000U);
                break;
            case Disegno::sfumatura:
                im.setPixel(x, y, qRgb(x * 255 / s.width(), y * 255 / s.height(), (x + y) % 256));
                break;
            case Disegno::tinta:
                im.setPixel(x, y, qRgb(201, 7, 128));
                break;
            }
        }
    return im;
}

// Each result pixel the mean of the area of the original it covers, in doubles.
QImage mediaEsatta(const QImage &o, QSize d)
{
    QImage r(d, QImage::Format_RGB32);
    const double sx = double(o.width()) / d.width();
    const double sy = double(o.height()) / d.height();
    for (int Y = 0; Y < d.height(); ++Y)
        for (int X = 0; X < d.width(); ++X) {
            double c[3] = {0, 0, 0};
            for (int y = int(Y * sy); y < qMin(o.height(), int(std::ceil((Y + 1) * sy))); ++y) {
                const double wy = qMin(y + 1.0, (Y + 1) * sy) - qMax(double(y), Y * sy);
                for (int x = int(X * sx); x < qMin(o.width(), int(std::ceil((X + 1) * sx))); ++x) {
                    const double w = wy * (qMin(x + 1.0, (X + 1) * sx) - qMax(double(x), X * sx));
                    const QRgb p = o.pixel(x, y);
                    c[0] += w * qRed(p);
                    c[1] += w * qGreen(p);
                    c[2] += w * qBlue(p);
                }
            }
            const double area = sx * sy;
            r.setPixel(X, Y, qRgb(qRound(c[0] / area), qRound(c[1] / area), qRound(c[2] / area)));
        }
    return r;
}

} // namespace

class TestRiduzione : public QObject
{
    Q_OBJECT

private slots:
    void comeLaMediaEsatta_data();
    void comeLaMediaEsatta();
    void righeMancantiGrigie();
};

void TestRiduzione::comeLaMediaEsatta_data()
{
    QTest::addColumn<QSize>("origine");
    QTest::addColumn<QSize>("verso");
    QTest::addColumn<Disegno>("disegno");
    const struct {
        const char *nome;
        QSize origine, verso;
    } misure[] = {
        {"decoded just above the box", {240, 240}, {233, 233}},
        {"decoded just above a smaller box", {240, 240}, {231, 231}},
        {"two ratios", {480, 360}, {233, 233}},
        {"four times across", {400, 100}, {100, 100}},
        {"one axis kept", {300, 200}, {300, 150}},
        {"widths between vectors", {37, 21}, {19, 20}},
        {"one pixel", {1, 1}, {1, 1}},
        {"three pixels to one", {3, 2}, {1, 1}},
        {"a column", {2, 5}, {1, 3}},
    };
    for (const auto &m : misure) {
        QTest::addRow("%s, noise", m.nome) << m.origine << m.verso << Disegno::rumore;
        QTest::addRow("%s, gradient", m.nome) << m.origine << m.verso << Disegno::sfumatura;
        QTest::addRow("%s, one colour", m.nome) << m.origine << m.verso << Disegno::tinta;
    }
}

void TestRiduzione::comeLaMediaEsatta()
{
    QFETCH(QSize, origine);
    QFETCH(QSize, verso);
    QFETCH(Disegno, disegno);
    const QImage o = ::disegno(origine, disegno);
    const QImage nostra = immagini::ridotta(o, verso);
    const QImage esatta = mediaEsatta(o, verso);
    QCOMPARE(nostra.size(), verso);
    QCOMPARE(nostra.format(), QImage::Format_RGB32);
    int peggiore = 0;
    double somma = 0;
    for (int y = 0; y < verso.height(); ++y)
        for (int x = 0; x < verso.width(); ++x) {
            const QRgb a = nostra.pixel(x, y);
            const QRgb b = esatta.pixel(x, y);
            QCOMPARE(qAlpha(a), 255);
            for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)}) {
                peggiore = qMax(peggiore, qAbs(d));
                somma += qAbs(d);
            }
        }
    const double media = somma / (3.0 * verso.width() * verso.height());
    // Weights in 256ths and two roundings: within 2 of the exact mean anywhere, a third on average
    // over a picture of some size; a picture of one colour stays that colour exactly.
    const int ammesso = disegno == Disegno::tinta ? 0 : 2;
    QVERIFY2(peggiore <= ammesso && (verso.width() * verso.height() < 100 || media <= 0.35),
        qPrintable(QStringLiteral("largest %1, mean %2").arg(peggiore).arg(media)));
}

// A decoder that stops early (a file cut short) leaves the result rows it never reached grey, and
// the rows it gave reduced as usual.
void TestRiduzione::righeMancantiGrigie()
{
    const QImage o = disegno(QSize(10, 10), Disegno::tinta);
    immagini::Riduzione r(o.size(), QSize(5, 5));
    for (int y = 0; y < 4; ++y)
        r.riga(o.constScanLine(y));
    const QImage fatta = r.fine();
    for (int y = 0; y < 5; ++y)
        QCOMPARE(fatta.pixel(2, y), y < 2 ? qRgb(201, 7, 128) : QColor(Qt::gray).rgb());
}

QTEST_GUILESS_MAIN(TestRiduzione)
#include "tst_riduzione.moc"
