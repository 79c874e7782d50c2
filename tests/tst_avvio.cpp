// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormAvvio.h"
#include "app/Modulo1.h"
#include "finte.h"
#include "game/lettere.h"
#include "ui/messaggi.h"
#include "ui/pulsanti.h"
#include "ui/risorse.h"
#include "ui/sessione.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <memory>
#include <optional>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

template <typename Finestra>
QList<Finestra *> finestre()
{
    QList<Finestra *> trovate;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *f = qobject_cast<Finestra *>(w))
            trovate << f;
    }
    return trovate;
}

void eliminaRinviate()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Whether one of Qt's picture plugins is loaded in this process.
bool moduliImmaginiCaricati()
{
    QFile mappe(QStringLiteral("/proc/self/maps"));
    return mappe.open(QIODevice::ReadOnly) && mappe.readAll().contains("/imageformats/");
}

} // namespace

// The start flow: the start window on its drawn colour, "Avvio" from the keyboard, the game window
// in its place, and a missing list that ends the program cleanly.
class TestAvvio : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // First, while no picture plugin is loaded yet.
    void avvioSenzaModuliImmagini();
    void figureDelProgramma_data();
    void figureDelProgramma();
    void iconaPerLoSchermo_data();
    void iconaPerLoSchermo();

    void coloreDelloSfondo_data();
    void coloreDelloSfondo();
    void avvioDaTastiera_data();
    void avvioDaTastiera();
    void avvioUnaVolta();
    void chiusaSenzaAvvio();
    void datiMancanti_data();
    void datiMancanti();
    void turnoNonVisto_data();
    void turnoNonVisto();
    void messaggioSopraIlGioco();
    void cartellaRuntime_data();
    void cartellaRuntime();

private:
    std::unique_ptr<PiattaformaFinta> f;
    FormAvvio *avviaEAttendi();
};

void TestAvvio::init()
{
    f = std::make_unique<PiattaformaFinta>();
}

void TestAvvio::cleanup()
{
    // Every window goes before the platform it refers to.
    chiudiFinestre();
    eliminaRinviate();
    f.reset();
}

FormAvvio *TestAvvio::avviaEAttendi()
{
    avvio(f->piattaforma);
    const auto avvii = finestre<FormAvvio>();
    if (avvii.size() != 1)
        return nullptr;
    FormAvvio *finestra = avvii.front();
    if (!finestra->isVisible() || !QTest::qWaitForWindowExposed(finestra))
        return nullptr;
    return finestra;
}

void TestAvvio::avvioSenzaModuliImmagini()
{
    QVERIFY2(!moduliImmaginiCaricati(), "a picture plugin is loaded already: this test must come first");
    // Whether the plugins were there when the start window first painted.
    struct AlPrimoDisegno : QObject {
        std::optional<bool> caricati;
        bool eventFilter(QObject *oggetto, QEvent *evento) override
        {
            if (evento->type() == QEvent::Paint && qobject_cast<FormAvvio *>(oggetto) && !caricati)
                caricati = moduliImmaginiCaricati();
            return false;
        }
    } primo;
    qApp->installEventFilter(&primo);
    QVERIFY(avviaEAttendi());
    QTRY_VERIFY(primo.caricati.has_value());
    qApp->removeEventFilter(&primo);
    // Each would have cost the start window its load: SVG, with Qt's SVG library, GIF, ICO and JPEG.
    QCOMPARE(*primo.caricati, false);
    // Then, while the child looks at it, they are loaded for the game window's menu bar.
    QTRY_VERIFY(moduliImmaginiCaricati());
}

void TestAvvio::figureDelProgramma_data()
{
    QTest::addColumn<QString>("risorsa");
    for (const char *nome : {"icona", "si", "no", "freccia", "lampada"}) {
        for (const char *lato : {"", "@2x"}) {
            const QString risorsa
                = QStringLiteral(":/%1%2.png").arg(QLatin1String(nome), QLatin1String(lato));
            QTest::newRow(qPrintable(risorsa)) << risorsa;
        }
    }
}

void TestAvvio::figureDelProgramma()
{
    QFETCH(QString, risorsa);
    const QImage qt(risorsa);
    QVERIFY(!qt.isNull());
    QCOMPARE(risorse::immagine(risorsa), qt);
    // The icon draws as Qt's own icon of the file, at every size and ratio a button asks for.
    const QIcon nostra = risorse::icona(risorsa);
    const QIcon sua(risorsa);
    QCOMPARE(nostra.availableSizes(), sua.availableSizes());
    for (const int lato : {16, 32, 64}) {
        for (const qreal rapporto : {1.0, 2.0})
            QCOMPARE(nostra.pixmap(lato, rapporto).toImage(), sua.pixmap(lato, rapporto).toImage());
    }
}

void TestAvvio::iconaPerLoSchermo_data()
{
    QTest::addColumn<qreal>("rapporto");
    QTest::addColumn<QList<QSize>>("lati");
    const QList<QSize> solo {QSize(32, 32)};
    const QList<QSize> conDoppia {QSize(32, 32), QSize(64, 64)};
    QTest::newRow("one device pixel per pixel: the picture alone") << 1.0 << solo;
    QTest::newRow("1.25 rounds up to @2x") << 1.25 << conDoppia;
    QTest::newRow("2 takes @2x") << 2.0 << conDoppia;
    QTest::newRow("3 finds no @3x and takes @2x") << 3.0 << conDoppia;
}

void TestAvvio::iconaPerLoSchermo()
{
    QFETCH(qreal, rapporto);
    QFETCH(QList<QSize>, lati);
    QCOMPARE(risorse::icona(QStringLiteral(":/icona.png"), rapporto).availableSizes(), lati);
    QVERIFY(risorse::icona(QStringLiteral(":/manca.png"), rapporto).isNull());
}

void TestAvvio::coloreDelloSfondo_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<QColor>("atteso");
    QTest::newRow("r=0 gives light pink") << 0.0 << QColor(255, 192, 192);
    QTest::newRow("r=1/18 gives salmon red") << 1.0 / 18.0 << QColor(255, 128, 128);
    QTest::newRow("r just below 1 gives magenta") << std::nextafter(1.0, 0.0) << QColor(255, 0, 255);
}

void TestAvvio::coloreDelloSfondo()
{
    QFETCH(double, r);
    QFETCH(QColor, atteso);
    f->casuale.valori = {r, 0.5, 0.5};
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QVERIFY(finestra->autoFillBackground());
    QCOMPARE(finestra->palette().color(QPalette::Window), atteso);
    QCOMPARE(f->casuale.estratti, 1);
    QVERIFY(finestre<lettere>().isEmpty());
    QVERIFY(f->messaggi.mostrati.empty());
}

void TestAvvio::avvioDaTastiera_data()
{
    QTest::addColumn<int>("tasto");
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestAvvio::avvioDaTastiera()
{
    QFETCH(int, tasto);
    f->lista(4, {QStringLiteral("cane")});
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QPointer<FormAvvio> vista(finestra);
    QVERIFY(QTest::qWaitForWindowActive(finestra));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(finestra->Command1));

    // Press and release through the window, as the keyboard delivers them to the focused button.
    QTest::keyClick(finestra->windowHandle(), Qt::Key(tasto));

    const auto giochi = finestre<lettere>();
    QCOMPARE(giochi.size(), 1);
    lettere *gioco = giochi.front();
    QVERIFY(gioco->isVisible());
    QVERIFY(gioco->testAttribute(Qt::WA_DeleteOnClose));
    // Loaded: the list read, the counters written, the picture shown, the letters in upper case.
    QCOMPARE(gioco->stato.numParole, qint16(1));
    QCOMPARE(gioco->stato.parole[1], QStringLiteral("CANE"));
    QCOMPARE(gioco->EtichettaEsatti->text(), QStringLiteral(" 0"));
    QVERIFY(!gioco->Image1->pixmap().isNull());
    QCOMPARE(gioco->batticco[0]->text(), QStringLiteral("Q"));
    QVERIFY(f->messaggi.mostrati.empty());
    QCOMPARE(f->uscita.stato, -1);

    // The start window is gone for good, not just hidden.
    eliminaRinviate();
    QVERIFY(!vista);
    QCOMPARE(finestre<FormAvvio>().size(), 0);
    QVERIFY(gioco->isVisible());
}

void TestAvvio::avvioUnaVolta()
{
    f->lista(4, {QStringLiteral("cane")});
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QPointer<FormAvvio> vista(finestra);
    QPointer<PulsanteGrafico> pulsante(finestra->Command1);

    // A held Enter, and presses that reach the button before the closed window is deleted.
    QKeyEvent premi(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QKeyEvent ripeti(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(pulsante, &premi);
    QApplication::sendEvent(pulsante, &ripeti);
    QCOMPARE(finestre<lettere>().size(), 1);
    QPointer<lettere> primo(finestre<lettere>().front());
    if (pulsante)
        pulsante->click();
    QCOMPARE(finestre<lettere>().size(), 1);
    QCOMPARE(finestre<lettere>().front(), primo.data());
    QVERIFY(primo->isVisible());

    eliminaRinviate();
    QVERIFY(!vista);
    QCOMPARE(finestre<lettere>().size(), 1);
    QVERIFY(f->messaggi.mostrati.empty());
}

void TestAvvio::chiusaSenzaAvvio()
{
    f->lista(4, {QStringLiteral("cane")});
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QPointer<FormAvvio> vista(finestra);
    QVERIFY(finestra->close());
    eliminaRinviate();
    QVERIFY(!vista);
    // No window is left, so the program would end with its last window.
    QVERIFY(QApplication::quitOnLastWindowClosed());
    QVERIFY(finestre<lettere>().isEmpty());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(f->messaggi.mostrati.empty());
    QCOMPARE(f->uscita.stato, -1);
}

void TestAvvio::datiMancanti_data()
{
    QTest::addColumn<bool>("conLista");
    QTest::addColumn<QString>("nominato");
    QTest::newRow("no word list") << false << "lista4.txt";
    QTest::newRow("a list word without its picture") << true << "gatto.jpg";
}

void TestAvvio::datiMancanti()
{
    QFETCH(bool, conLista);
    QFETCH(QString, nominato);
    if (conLista)
        f->scrivi(QStringLiteral("lista4.txt"), "gatto\n");
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QTest::keyClick(finestra->windowHandle(), Qt::Key_Enter);

    QCOMPARE(f->messaggi.mostrati.size(), std::size_t(1));
    const auto &m = f->messaggi.mostrati.front();
    QCOMPARE(m.stile, 16);
    QVERIFY2(m.testo.contains(nominato, Qt::CaseInsensitive), qPrintable(m.testo));
    QVERIFY2(m.testo.contains(QDir::toNativeSeparators(f->cartella.path())), qPrintable(m.testo));
    QCOMPARE(f->uscita.stato, 1);
    // The half-made game window went with the error.
    eliminaRinviate();
    QVERIFY(finestre<lettere>().isEmpty());
}

void TestAvvio::turnoNonVisto_data()
{
    // The draws after the start colour: the load's pick, its first turn (replaced before the window
    // shows, so its picture is only judged), the turn the child sees. With "cane" and "gatto",
    // 0.0 picks cane and 0.9 gatto; cane's picture is fine, gatto's as the row says.
    QTest::addColumn<QList<double>>("estrazioni");
    QTest::addColumn<QByteArray>("gatto");
    QTest::addColumn<QString>("atteso"); // how the message begins; empty: none, the game shows cane
    const QByteArray rotta("\xFF\xD8\xFF\xE0 rotta");
    QTest::newRow("missing picture in the unseen turn")
        << QList<double> {0.0, 0.9, 0.0} << QByteArray() << "Immagine non trovata";
    QTest::newRow("damaged picture in the unseen turn")
        << QList<double> {0.0, 0.9, 0.0} << rotta << "Immagine illeggibile";
    QTest::newRow("damaged picture in the turn seen")
        << QList<double> {0.0, 0.0, 0.9} << rotta << "Immagine illeggibile";
    QTest::newRow("both pictures fine") << QList<double> {0.0, 0.9, 0.0} << QByteArray("buona") << QString();
}

void TestAvvio::turnoNonVisto()
{
    QFETCH(QList<double>, estrazioni);
    QFETCH(QByteArray, gatto);
    QFETCH(QString, atteso);
    f->scrivi(QStringLiteral("lista4.txt"), "cane\ngatto\n");
    f->immagine(QStringLiteral("cane.jpg"), Qt::blue);
    if (gatto == "buona")
        f->immagine(QStringLiteral("gatto.jpg"));
    else if (!gatto.isEmpty())
        f->scrivi(QStringLiteral("jpg/gatto.jpg"), gatto);
    f->casuale.valori = {0.5};
    for (double r : estrazioni)
        f->casuale.valori.push_back(r);
    FormAvvio *finestra = avviaEAttendi();
    QVERIFY(finestra);
    QTest::keyClick(finestra->windowHandle(), Qt::Key_Enter);

    if (atteso.isEmpty()) {
        QVERIFY(f->messaggi.mostrati.empty());
        const auto giochi = finestre<lettere>();
        QCOMPARE(giochi.size(), 1);
        QCOMPARE(giochi.front()->stato.parole[std::size_t(giochi.front()->stato.indiceParola)], "CANE");
        // The picture shown is the seen turn's, decoded at the box's size: cane's blue.
        const QImage mostrata = giochi.front()->Image1->pixmap().toImage();
        QCOMPARE(mostrata.size(), giochi.front()->Image1->contentsRect().size());
        QCOMPARE(QColor(mostrata.pixel(mostrata.rect().center())).blue() > 200, true);
        return;
    }
    QCOMPARE(f->messaggi.mostrati.size(), std::size_t(1));
    const QString &testo = f->messaggi.mostrati.front().testo;
    QVERIFY2(testo.startsWith(atteso) && testo.contains(QStringLiteral("gatto.jpg"), Qt::CaseInsensitive),
        qPrintable(testo));
    QCOMPARE(f->uscita.stato, 1);
}

void TestAvvio::messaggioSopraIlGioco()
{
    // With another program active, a message box still opens over the game, not in mid-screen.
    // Owned here, so they go before cleanup closes what is left.
    auto avvio = std::make_unique<FormAvvio>(f->piattaforma);
    auto gioco = std::make_unique<lettere>(f->piattaforma);
    avvio->show();
    QWindow altroProgramma;
    altroProgramma.show();
    altroProgramma.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&altroProgramma));
    QCOMPARE(QApplication::activeWindow(), nullptr);
    // Before "Avvio" (an error while the game loads) the start window is the one there is.
    QCOMPARE(genitoreMessaggi(), static_cast<QWidget *>(avvio.get()));
    gioco->show();
    QVERIFY(QTest::qWaitForWindowExposed(gioco.get()));
    altroProgramma.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&altroProgramma));
    QCOMPARE(genitoreMessaggi(), static_cast<QWidget *>(gioco.get()));
    // The active window wins when there is one.
    avvio->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(avvio.get()));
    QCOMPARE(genitoreMessaggi(), static_cast<QWidget *>(avvio.get()));
}

void TestAvvio::cartellaRuntime_data()
{
    QTest::addColumn<QString>("forma");
    QTest::addColumn<bool>("presa");
    QTest::newRow("private folder") << "0700" << true;
    QTest::newRow("others may read") << "0755" << false;
    QTest::newRow("group may write") << "0770" << false;
    QTest::newRow("sticky bit") << "1700" << false;
    QTest::newRow("link to a private folder") << "link" << false;
    QTest::newRow("a file") << "file" << false;
    QTest::newRow("missing") << "none" << false;
}

// Without XDG_RUNTIME_DIR, a runtime folder that already exists as Qt wants it is named, so Qt
// creates none; any other is left alone, and Qt does as it always did.
void TestAvvio::cartellaRuntime()
{
    QFETCH(QString, forma);
    QFETCH(bool, presa);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const passwd *voce = ::getpwuid(::geteuid());
    QVERIFY(voce);
    const QByteArray cartella = QFile::encodeName(tmp.path()) + "/runtime-" + voce->pw_name;
    const QByteArray privata = QFile::encodeName(tmp.path()) + "/privata";
    QVERIFY(::mkdir(privata.constData(), 0700) == 0);
    if (forma == QLatin1String("link")) {
        QVERIFY(::symlink(privata.constData(), cartella.constData()) == 0);
    } else if (forma == QLatin1String("file")) {
        QFile file(QFile::decodeName(cartella));
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (forma != QLatin1String("none")) {
        QVERIFY(::mkdir(cartella.constData(), 0700) == 0);
        QVERIFY(::chmod(cartella.constData(), forma.toUInt(nullptr, 8)) == 0);
    }
    QCOMPARE(
        sessione::cartellaRuntimeValida({"", privata + "/manca", cartella}), presa ? cartella : QByteArray());

    // The same folder found from the environment, as the program does before Qt starts.
    const QByteArray prima = qgetenv("XDG_RUNTIME_DIR"), primaTmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    sessione::preparaCartellaRuntime();
    const QByteArray trovata = qgetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", primaTmp);
    qputenv("XDG_RUNTIME_DIR", prima);
    if (QFileInfo(QStringLiteral("/run/user/%1").arg(::geteuid())).isDir())
        QSKIP("this machine has a session folder, which is named first");
    QCOMPARE(trovata, presa ? cartella : QByteArray());
    // A folder that was not there is not made.
    if (forma == QLatin1String("none"))
        QVERIFY(!QFileInfo::exists(QFile::decodeName(cartella)));
}

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
