// SPDX-License-Identifier: GPL-3.0-or-later
// The word editor ("Parole di Batticco") on a full folder, against the same on the shipped folder in
// the same run, and its photo path against a bare decode of the same photo:
//
//   misura_editor tabella EDITOR SHIPPED_FOLDER [ROUNDS]
//
// makes a folder of 200 words per list (800 words, each with a 480 x 480 JPEG of its own) and a
// 4000 x 3000 photo, then alternates, ROUNDS times, one process per sample:
// - exec of EDITOR on the folder to its window mapped (an X client of its own watches the root
//   window for the first MapNotify, as bench/misura_avvio.cpp does);
// - in-process, the window with its lists shown: from exec to the first paint of the list in front,
//   and to every icon decoded and the checker's findings shown;
// - the window frozen by an edit (add a word, rename one, remove one) and by Save: a 1 ms heartbeat
//   timer runs on the event loop and the longest gap between two of its beats, from the command to
//   its last result shown (the checker's findings included), is the time the window was frozen;
// - adding the photo as the word dialog does (read, frame, cut, JPEG) against Qt's plain decode of
//   the same file: time and peak memory (VmHWM) above a bare QApplication's.
// It prints min / median / max and ratios of medians. The modes below are what each process runs.

#include "editor/Domande.h"
#include "editor/FinestraParole.h"
#include "editor/Inquadratura.h"
#include "editor/ListeParole.h"
#include "editor/Riquadro.h"
#include "materiale.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

double oraMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long piccoKb()
{
    std::ifstream status("/proc/self/status");
    std::string riga;
    while (std::getline(status, riga)) {
        if (riga.rfind("VmHWM:", 0) == 0)
            return std::atol(riga.c_str() + 6);
    }
    return -1;
}

// 200 words in each list, each with a 480 x 480 picture of its own.
void cartellaPiena(const QString &cartella)
{
    QDir().mkpath(cartella + QStringLiteral("/jpg"));
    const QImage base = foto(QSize(480, 480), 28, 1);
    int n = 0;
    for (int lettere = 3; lettere <= 6; ++lettere) {
        QStringList parole;
        for (int i = 0; i < 200; ++i, ++n) {
            parole << parolaNumero(i, lettere);
            QImage img = base;
            QPainter p(&img);
            p.fillRect(QRect((n % 20) * 24, (n / 20 % 20) * 24, 24, 24), QColor::fromHsv(n % 360, 200, 200));
            p.end();
            img.save(cartella + QStringLiteral("/jpg/%1.jpg").arg(parole.back()), "JPEG", 85);
        }
        QFile f(cartella + QStringLiteral("/lista%1.txt").arg(lettere));
        if (!f.open(QIODevice::WriteOnly) || f.write(parole.join(u'\n').toUtf8() + '\n') < 0)
            qFatal("cannot write the lists");
    }
}

void copiaCartella(const QString &da, const QString &a)
{
    QDir().mkpath(a + QStringLiteral("/jpg"));
    for (const QString &nome : QDir(da).entryList({QStringLiteral("lista*.txt")}, QDir::Files))
        QFile::copy(da + u'/' + nome, a + u'/' + nome);
    for (const QString &nome : QDir(da + QStringLiteral("/jpg")).entryList(QDir::Files))
        QFile::copy(da + QStringLiteral("/jpg/") + nome, a + QStringLiteral("/jpg/") + nome);
}

class DomandeSi final : public Domande
{
public:
    bool chiedi(const QString &, const QString &, const QString &) override { return true; }
    Salvataggio chiediSalvataggio(const QString &) override { return Salvataggio::nonSalvare; }
    void avvisa(const QString &, const QString &testo) override
    {
        std::fprintf(stderr, "notice: %s\n", qPrintable(testo));
    }
    int scegli(const QString &, const QString &, const QStringList &) override { return 0; }
};

// Whether the window still has work on its way to the screen (the checker, the icons): asked only
// of a window that can say so.
template <typename F>
bool occupata(const F &f)
{
    if constexpr (requires { f.lavoroInCorso(); })
        return f.lavoroInCorso();
    else
        return false;
}

// The event loop's beat: the longest time between two beats since azzera().
struct Battito {
    QTimer timer;
    double ultimo = 0;
    double massimo = 0;
    Battito()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const double t = oraMs();
            massimo = std::max(massimo, t - ultimo);
            ultimo = t;
        });
        timer.start();
    }
    void azzera()
    {
        ultimo = oraMs();
        massimo = 0;
    }
};

// The frozen time of one command: from its start on the event loop until the window has no work
// left and 100 ms have passed in quiet.
template <typename Comando>
double congelata(Battito &battito, FinestraParole &f, Comando comando)
{
    while (occupata(f))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    battito.azzera();
    bool fatto = false;
    QTimer::singleShot(0, [&] {
        comando();
        fatto = true;
    });
    double quieta = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (!fatto || occupata(f)) {
            quieta = 0;
            continue;
        }
        if (quieta == 0)
            quieta = oraMs();
        else if (oraMs() - quieta > 100)
            break;
    }
    return battito.massimo;
}

int modoApertura(const QString &cartella)
{
    // The parent's clock just before exec.
    const double inizio = qEnvironmentVariable("MISURA_INIZIO").toDouble();
    DomandeSi domande;
    FinestraParole f(domande, QString(), QString());
    f.apri(cartella);
    QListWidget *davanti = f.griglie[std::size_t(f.listaCorrente() - CartellaParole::primaLunghezza)];
    double dipinta = 0;
    struct Filtro : QObject {
        double *dipinta;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && *dipinta == 0)
                *dipinta = oraMs();
            return false;
        }
    } filtro;
    filtro.dipinta = &dipinta;
    davanti->viewport()->installEventFilter(&filtro);
    f.show();
    while (dipinta == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    while (occupata(f))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double finita = oraMs();
    std::printf("%.2f %.2f\n", dipinta - inizio, finita - inizio);
    return 0;
}

// `primo` numbers this process's new words, so that every process adds and renames words of its own.
int modoModifiche(const QString &cartella, int giri, int primo)
{
    DomandeSi domande;
    FinestraParole f(domande, QString(), QString());
    f.resize(900, 680);
    f.apri(cartella);
    f.show();
    Battito battito;
    congelata(battito, f, [] {});
    const QImage figura = foto(QSize(480, 480), 28, 7);
    std::vector<double> aggiungi, rinomina, togli, salva;
    for (int g = 0; g < giri; ++g) {
        const int n = primo * giri + g;
        const QString nuova = QStringLiteral("q") + parolaNumero(n, 3);
        // A list holds at most 200 words: one goes before one comes.
        togli.push_back(congelata(battito, f, [&] { f.togli(4, 5); }));
        rinomina.push_back(
            congelata(battito, f, [&] { f.rinomina(4, 3, QStringLiteral("qq") + parolaNumero(n, 2)); }));
        aggiungi.push_back(congelata(battito, f, [&] { f.aggiungi(4, nuova, figura); }));
        salva.push_back(congelata(battito, f, [&] { f.salva(); }));
    }
    auto mediana = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    // Many words at once, as when she brings in a stick's words: 50 out of the 3-letter list (all
    // of a shorter list) and 50 new ones with their pictures, then one Save.
    for (int i = 0; i < 50 && !f.dati()->lista(3).parole.empty(); ++i)
        f.togli(3, 0);
    for (int i = 0; i < 50; ++i)
        f.aggiungi(3, QStringLiteral("q") + parolaNumero(primo * 50 + i, 2), figura);
    const double molte = congelata(battito, f, [&] { f.salva(); });
    std::printf("%.2f %.2f %.2f %.2f %.2f\n", mediana(aggiungi), mediana(rinomina), mediana(togli),
        mediana(salva), molte);
    return 0;
}

// The word dialog's path for a photo: read, shown in the frame, cut at the centre, made a JPEG.
int modoFoto(const QString &percorso, const QString &modo)
{
    // The frame is made first: a program's first widget loads its style, which is not the photo's cost.
    Inquadratura inquadratura;
    const double inizio = oraMs();
    if (modo == QStringLiteral("foto")) {
        riquadro::Foto foto = riquadro::apriFoto(percorso);
        inquadratura.impostaFoto(foto.immagine);
        foto.immagine = inquadratura.foto();
        const QByteArray jpeg = riquadro::jpeg(riquadro::ritaglia(foto, inquadratura.posizione()));
        if (jpeg.isEmpty())
            return 1;
    } else if (modo == QStringLiteral("decodifica")) {
        if (QImage(percorso).isNull())
            return 1;
    }
    const double fine = oraMs();
    std::printf("%.2f %ld\n", fine - inizio, piccoKb());
    return 0;
}

// exec of the editor on the folder to its first top-level window mapped, on the display of its own.
double mappata(const QString &editor, const QString &cartella)
{
    Display *schermo = XOpenDisplay(nullptr);
    if (!schermo)
        qFatal("no X display");
    XSelectInput(schermo, DefaultRootWindow(schermo), SubstructureNotifyMask);
    XSync(schermo, False);
    const QByteArray programma = QFile::encodeName(editor);
    const QByteArray argomento = QFile::encodeName(cartella);
    const double inizio = oraMs();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(programma.constData(), programma.constData(), argomento.constData(), nullptr);
        _exit(127);
    }
    double fine = 0;
    while (fine == 0) {
        XEvent e;
        XNextEvent(schermo, &e);
        if (e.type == MapNotify && !e.xmap.override_redirect)
            fine = oraMs();
    }
    kill(pid, SIGTERM);
    int stato = 0;
    waitpid(pid, &stato, 0);
    XCloseDisplay(schermo);
    return fine - inizio;
}

// One sample: this program in another mode, its numbers on one line.
std::vector<double> campione(const QStringList &argomenti)
{
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("MISURA_INIZIO"), QString::number(oraMs(), 'f', 3));
    p.setProcessEnvironment(ambiente);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), argomenti);
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(argomenti.join(u' ')));
    std::vector<double> v;
    for (const QByteArray &n : p.readAllStandardOutput().simplified().split(' '))
        v.push_back(n.toDouble());
    return v;
}

struct Serie {
    std::vector<double> v;
    double mediana() const
    {
        auto s = v;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s[s.size() / 2];
    }
};

int modoTabella(const QString &editor, const QString &spedita, int giri)
{
    QTemporaryDir tmp;
    const QString piena = tmp.path() + QStringLiteral("/piena");
    const QString piccola = tmp.path() + QStringLiteral("/spedita");
    cartellaPiena(piena);
    copiaCartella(spedita, piccola);
    const QString fotoGrande = tmp.path() + QStringLiteral("/foto.jpg");
    foto(QSize(4000, 3000), 28).save(fotoGrande, "JPEG", 85);

    std::map<std::string, Serie> s;
    for (int g = 0; g < giri; ++g) {
        for (const auto &[nome, cartella] : {std::pair {"212", piccola}, std::pair {"800", piena}}) {
            const std::string n = nome;
            s["mappa" + n].v.push_back(mappata(editor, cartella));
            const auto a = campione({QStringLiteral("apertura"), cartella});
            s["dipinta" + n].v.push_back(a.at(0));
            s["icone" + n].v.push_back(a.at(1));
            const auto m
                = campione({QStringLiteral("modifiche"), cartella, QStringLiteral("3"), QString::number(g)});
            s["aggiungi" + n].v.push_back(m.at(0));
            s["rinomina" + n].v.push_back(m.at(1));
            s["togli" + n].v.push_back(m.at(2));
            s["salva" + n].v.push_back(m.at(3));
            s["molte" + n].v.push_back(m.at(4));
        }
        for (const char *modo : {"vuoto", "decodifica", "foto"}) {
            const auto f = campione({QString::fromLatin1(modo), fotoGrande});
            s[std::string("t_") + modo].v.push_back(f.at(0));
            s[std::string("m_") + modo].v.push_back(f.at(1) / 1024.0);
        }
    }
    auto riga = [&](const char *cosa, const std::string &chiave, const char *unita, double base,
                    const char *obiettivo) {
        const Serie &x = s[chiave];
        const double med = x.mediana();
        std::printf("| %s | %.3g / %.3g / %.3g %s | %.2f | %s |\n", cosa,
            *std::min_element(x.v.begin(), x.v.end()), med, *std::max_element(x.v.begin(), x.v.end()), unita,
            base > 0 ? med / base : 1.0, obiettivo);
    };
    std::printf("The editor, %d rounds (one process per sample; min / median / max)\n", giri);
    std::printf("| measure | min / median / max | ratio | target |\n|---|---|---|---|\n");
    const char *voci[][3] = {{"mappa", "exec to the window mapped", "under 1 s at 800"},
        {"dipinta", "exec to the list in front painted (in-process)", "under 1 s at 800"},
        {"icone", "exec to every icon and the findings shown (in-process)", ""},
        {"aggiungi", "window frozen by adding a word", "under 100 ms"},
        {"rinomina", "window frozen by renaming a word", "under 100 ms"},
        {"togli", "window frozen by removing a word", "under 100 ms"},
        {"salva", "window frozen by Save", "under 100 ms"},
        {"molte", "window frozen by Save of 50 words out and 50 new", ""}};
    for (const auto &v : voci) {
        const std::string k = v[0];
        const double base = s[k + "212"].mediana();
        riga((std::string(v[1]) + ", 212 words (baseline)").c_str(), k + "212", "ms", base, "");
        riga((std::string(v[1]) + ", 800 words").c_str(), k + "800", "ms", base, v[2]);
    }
    std::printf("(ratio 800/212 words = 3.77: linear growth)\n\n");
    std::printf("Adding a 4000 x 3000 photo (2.7 MB JPEG); memory is VmHWM above a bare QApplication's\n");
    std::printf("| measure | min / median / max | ratio | target |\n|---|---|---|---|\n");
    riga("Qt's plain decode, QImage(path) (baseline)", "t_decodifica", "ms", s["t_decodifica"].mediana(), "");
    riga("the editor: read, frame, cut, JPEG", "t_foto", "ms", s["t_decodifica"].mediana(), "");
    const double vuoto = s["m_vuoto"].mediana();
    for (const char *k : {"m_decodifica", "m_foto"}) {
        for (double &x : s[k].v)
            x -= vuoto;
    }
    std::printf("| bare QApplication, peak memory | %.3g MiB | | |\n", vuoto);
    riga("Qt's plain decode, peak above it (baseline)", "m_decodifica", "MiB", s["m_decodifica"].mediana(),
        "");
    riga("the editor's photo, peak above it", "m_foto", "MiB", s["m_decodifica"].mediana(), "");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    const QString modo = a.value(1);
    if (modo == QStringLiteral("tabella") && a.size() >= 4)
        return modoTabella(a[2], a[3], a.size() > 4 ? a[4].toInt() : 5);
    if (modo == QStringLiteral("genera") && a.size() >= 3) {
        // The full folder alone, for a profiler.
        cartellaPiena(a[2]);
        return 0;
    }
    if (modo == QStringLiteral("genera-foto") && a.size() >= 3)
        return foto(QSize(4000, 3000), 28).save(a[2], "JPEG", 85) ? 0 : 1;
    if (modo == QStringLiteral("apertura") && a.size() >= 3)
        return modoApertura(a[2]);
    if (modo == QStringLiteral("modifiche") && a.size() >= 3)
        return modoModifiche(a[2], a.size() > 3 ? a[3].toInt() : 3, a.size() > 4 ? a[4].toInt() : 0);
    if ((modo == QStringLiteral("foto") || modo == QStringLiteral("decodifica")
            || modo == QStringLiteral("vuoto"))
        && a.size() >= 3)
        return modoFoto(a[2], modo);
    std::fprintf(stderr, "use: %s tabella EDITOR SHIPPED_FOLDER [ROUNDS]\n", argv[0]);
    return 2;
}
