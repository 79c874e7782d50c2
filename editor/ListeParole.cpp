// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ListeParole.h"

#include "ui/percorsi.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPainter>

#include <algorithm>

namespace
{

constexpr QSize misuraIcona(96, 96);

QIcon iconaMancante()
{
    QPixmap p(misuraIcona);
    p.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter pittore(&p);
    pittore.setPen(QPen(QColor(0xB0, 0x20, 0x20), 3));
    pittore.drawRect(p.rect().adjusted(1, 1, -2, -2));
    QFont f = pittore.font();
    f.setPointSize(28);
    f.setBold(true);
    pittore.setFont(f);
    pittore.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(p);
}

// A word with a voice: a small speaker in the icon's lower right corner.
QIcon conVoce(const QIcon &icona)
{
    QPixmap p = icona.pixmap(misuraIcona);
    QPainter pittore(&p);
    pittore.setRenderHint(QPainter::Antialiasing);
    const QRectF tondo(p.width() - 30, p.height() - 30, 27, 27);
    pittore.setPen(QPen(Qt::white, 2));
    pittore.setBrush(QColor(0x20, 0x60, 0xC0));
    pittore.drawEllipse(tondo);
    const QPointF c = tondo.center();
    pittore.setPen(Qt::NoPen);
    pittore.setBrush(Qt::white);
    pittore.drawRect(QRectF(c.x() - 8, c.y() - 3, 5, 6));
    pittore.drawPolygon(QPolygonF({QPointF(c.x() - 4, c.y() - 3), QPointF(c.x() + 2, c.y() - 8),
        QPointF(c.x() + 2, c.y() + 8), QPointF(c.x() - 4, c.y() + 3)}));
    pittore.setPen(QPen(Qt::white, 1.8));
    pittore.setBrush(Qt::NoBrush);
    pittore.drawArc(QRectF(c.x() - 2, c.y() - 6, 10, 12), -50 * 16, 100 * 16);
    return QIcon(p);
}

// What a word shows until its picture is decoded: a plain grey square.
const QIcon &iconaInArrivo()
{
    static const QIcon i = [] {
        QPixmap p(misuraIcona);
        p.fill(QColor(0xEC, 0xEC, 0xEC));
        return QIcon(p);
    }();
    return i;
}

// An item whose icon is still the grey square.
constexpr int ruoloInArrivo = Qt::UserRole + 1;

// How long the icons may hold the window at a time, in milliseconds.
constexpr int fetta = 8;
// So few words waiting in a list are shown at once, without waiting for the next slice.
constexpr int subito = 16;

} // namespace

ListeParole::ListeParole(QWidget *genitore)
    : QTabWidget(genitore)
{
    setAccessibleName(QStringLiteral("Liste di parole"));
    for (int i = 0; i < CartellaParole::numeroListe; ++i) {
        const int lettere = CartellaParole::primaLunghezza + i;
        auto *g = new QListWidget(this);
        g->setObjectName(QStringLiteral("griglia%1").arg(lettere));
        g->setViewMode(QListView::IconMode);
        g->setIconSize(misuraIcona);
        g->setGridSize(QSize(misuraIcona.width() + 28, misuraIcona.height() + 34));
        g->setMovement(QListView::Static);
        g->setResizeMode(QListView::Adjust);
        g->setWrapping(true);
        g->setUniformItemSizes(true);
        g->setSelectionMode(QAbstractItemView::SingleSelection);
        g->setAccessibleName(QStringLiteral("Parole di %1 lettere").arg(lettere));
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        griglie[i] = g;
        addTab(g, QString());
    }
    setCurrentIndex(1); // the game starts on the 4-letter list
    lavoro.setInterval(0);
    connect(&lavoro, &QTimer::timeout, this, [this] { avanza(fetta); });
}

void ListeParole::imposta(const CartellaParole *c)
{
    cartella = c;
    icone.clear();
}

void ListeParole::mostraListe()
{
    for (int n = CartellaParole::primaLunghezza;
         n < CartellaParole::primaLunghezza + CartellaParole::numeroListe; ++n)
        mostraLista(n);
}

void ListeParole::mostraLista(int lettere)
{
    QListWidget *g = griglie[lettere - CartellaParole::primaLunghezza];
    const int riga = g->currentRow();
    const QSignalBlocker zitto(g);
    g->clear();
    int inArrivo = 0;
    if (cartella) {
        const ListaInCartella &l = cartella->lista(lettere);
        for (const QString &p : l.parole) {
            // A "word" of megabytes from a damaged list shows as its beginning.
            const QString mostrata = p.isEmpty() ? QStringLiteral("(vuota)")
                : p.size() > 40                  ? p.left(40) + QChar(0x2026)
                                                 : p;
            auto *voce = new QListWidgetItem(mostrata, g);
            const auto pronta = icone.constFind(chiave(p));
            if (pronta != icone.constEnd())
                mostra(voce, *pronta, mostrata);
            else {
                voce->setIcon(iconaInArrivo());
                voce->setData(ruoloInArrivo, true);
                ++inArrivo;
            }
        }
        // The word in front is always the selected one, so Canc and the buttons act on what she sees.
        if (g->count() > 0)
            g->setCurrentRow(std::clamp(riga, 0, g->count() - 1));
    }
    const int i = lettere - CartellaParole::primaLunghezza;
    prossima[std::size_t(i)] = 0;
    // The few words a command changed show as they are now, to her eyes and to a screen reader's.
    if (inArrivo <= subito)
        avanzaLista(i, 0, QElapsedTimer());
    if (iconeInAttesa())
        lavoro.start();
}

bool ListeParole::iconeInAttesa() const
{
    for (int i = 0; i < CartellaParole::numeroListe; ++i) {
        if (prossima[std::size_t(i)] < griglie[std::size_t(i)]->count())
            return true;
    }
    return false;
}

void ListeParole::completaIcone()
{
    avanza(0);
}

void ListeParole::avanza(int budget)
{
    QElapsedTimer tempo;
    tempo.start();
    // The list in front first, then the others in order.
    std::array<int, CartellaParole::numeroListe> ordine {};
    ordine[0] = currentIndex();
    for (int i = 0, k = 1; i < CartellaParole::numeroListe; ++i) {
        if (i != currentIndex())
            ordine[std::size_t(k++)] = i;
    }
    for (const int i : ordine) {
        if (!avanzaLista(i, budget, tempo))
            return;
    }
    lavoro.stop();
}

bool ListeParole::avanzaLista(int i, int budget, const QElapsedTimer &tempo)
{
    QListWidget *g = griglie[std::size_t(i)];
    int &riga = prossima[std::size_t(i)];
    const auto &parole
        = cartella ? cartella->lista(CartellaParole::primaLunghezza + i).parole : std::vector<QString>();
    for (; riga < g->count(); ++riga) {
        QListWidgetItem *voce = g->item(riga);
        if (!voce->data(ruoloInArrivo).toBool())
            continue;
        if (budget > 0 && tempo.elapsed() >= budget)
            return false;
        if (std::size_t(riga) < parole.size())
            mostra(voce, figura(parole[std::size_t(riga)]), voce->text());
        voce->setData(ruoloInArrivo, QVariant());
    }
    return true;
}

void ListeParole::aggiornaTitoli()
{
    for (int i = 0; i < CartellaParole::numeroListe; ++i) {
        const int lettere = CartellaParole::primaLunghezza + i;
        const int n = cartella ? int(cartella->lista(lettere).parole.size()) : 0;
        const bool illeggibile = cartella && !cartella->lista(lettere).errore.isEmpty();
        setTabText(i,
            illeggibile ? QStringLiteral("%1 lettere (illeggibile)").arg(lettere)
                        : QStringLiteral("%1 lettere (%2)").arg(lettere).arg(n));
    }
}

void ListeParole::seleziona(int lettere, int indice)
{
    setCurrentIndex(lettere - CartellaParole::primaLunghezza);
    QListWidget *g = griglie[lettere - CartellaParole::primaLunghezza];
    if (indice >= 0 && indice < g->count()) {
        g->setCurrentRow(indice);
        g->scrollToItem(g->item(indice));
    }
    g->setFocus();
}

int ListeParole::listaCorrente() const
{
    return CartellaParole::primaLunghezza + currentIndex();
}

int ListeParole::parolaSelezionata() const
{
    const QListWidget *g = griglie[currentIndex()];
    return g->currentItem() && g->currentItem()->isSelected() ? g->currentRow() : -1;
}

QString ListeParole::chiave(const QString &parola)
{
    return parola.left(CartellaParole::lunghissima).toLower();
}

ListeParole::Origine ListeParole::origine(Compagno c, const QString &parola) const
{
    Origine o;
    o.sospeso = cartella->inSospeso(c, parola);
    if (!o.sospeso) {
        o.file = cartella->file(c, parola);
        if (!o.file.isEmpty() && ::stat(QFile::encodeName(o.file).constData(), &o.stato) != 0)
            o.file.clear();
    }
    return o;
}

bool ListeParole::comePrima(const Origine &prima, const Origine &ora)
{
    return ora.sospeso == prima.sospeso && ora.file == prima.file
        && (ora.file.isEmpty() || percorsi::stessoFile(prima.stato, ora.stato));
}

bool ListeParole::dimenticaCambiate()
{
    if (!cartella)
        return false;
    const qsizetype prima = icone.size();
    icone.removeIf([this](const QHash<QString, Figura>::iterator &i) {
        const Figura &f = i.value();
        for (std::size_t c = 0; c < compagni.size(); ++c) {
            const Origine &o = f.origini[c];
            // A file still there is only looked at again; a missing one is looked for again.
            if (!o.sospeso && !o.file.isEmpty()) {
                struct stat ora = {};
                if (::stat(QFile::encodeName(o.file).constData(), &ora) != 0
                    || !percorsi::stessoFile(o.stato, ora))
                    return true;
            } else if (!comePrima(o, origine(compagni[c], f.parola))) {
                return true;
            }
        }
        return false;
    });
    return icone.size() != prima;
}

const ListeParole::Figura &ListeParole::figura(const QString &parola)
{
    const QString k = chiave(parola);
    const auto c = icone.constFind(k);
    if (c != icone.constEnd())
        return *c;
    Figura f;
    f.parola = parola;
    for (std::size_t c = 0; c < compagni.size(); ++c)
        f.origini[c] = origine(compagni[c], parola);
    const QImage i = cartella->immagine(parola, misuraIcona);
    f.icona = i.isNull() ? iconaMancante() : QIcon(QPixmap::fromImage(i));
    f.manca = !cartella->ha(Compagno::immagine, parola);
    f.voce = cartella->haVoce(parola);
    if (f.voce)
        f.icona = conVoce(f.icona);
    return *icone.insert(k, f);
}

void ListeParole::mostra(QListWidgetItem *voce, const Figura &f, const QString &mostrata)
{
    voce->setIcon(f.icona);
    QString suggerimento = f.manca ? QStringLiteral("«%1»: manca l'immagine").arg(mostrata) : mostrata;
    QString nome = f.manca ? QStringLiteral("%1, senza immagine").arg(mostrata) : mostrata;
    if (f.voce) {
        suggerimento += QStringLiteral(" (ha la voce)");
        nome += QStringLiteral(", con la voce");
    }
    voce->setToolTip(suggerimento);
    voce->setData(Qt::AccessibleTextRole, nome);
    voce->setData(ruoloInArrivo, QVariant());
}
