// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormAvvio.h"

#include "app/FormAvvioDesign.h"
#include "game/lettere.h"
#include "ui/piattaforma.h"
#include "ui/posizione.h"
#include "ui/pulsanti.h"
#include "ui/risorse.h"

#include <QAccessibleWidget>
#include <QIcon>
#include <QLabel>
#include <QTimer>

#include <memory>
#include <utility>

namespace d = FormAvvioDesign;

namespace
{

// A plain widget is a "client area" to a screen reader; the start window is a window, as the game
// window (a main window) already is.
QAccessibleInterface *comeFinestra(const QString &classe, QObject *oggetto)
{
    if (classe == QLatin1String("FormAvvio") && oggetto && oggetto->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(oggetto), QAccessible::Window);
    return nullptr;
}

} // namespace

FormAvvio::FormAvvio(Piattaforma &piattaforma, QWidget *genitore)
    : QWidget(genitore)
    , p(piattaforma)
    , moduloColoriSuoni(piattaforma)
{
    setObjectName(QStringLiteral("FormAvvio"));
    // Installed once, by the first start window.
    [[maybe_unused]] static const bool installata = (QAccessible::installFactory(comeFinestra), true);
    // No title text: a single blank, since an empty title makes Qt show the program's name.
    setWindowTitle(QStringLiteral(" "));
    setAccessibleName(titoloApplicazione);
    posizione::soloDimensioneFissa(this);
    setWindowIcon(risorse::icona(QStringLiteral(":/icona.png")));
    setFixedSize(twips::inPixel(d::larghezza, d::altezza));
    setAutoFillBackground(true);
    // The classic light colours under any desktop scheme: the title's window text and the button.
    QPalette tavolozza = colori::tavolozzaClassica();
    tavolozza.setColor(QPalette::Window, colori::colore(d::coloreDisegnato));
    setPalette(tavolozza);

    Label1 = new QLabel(QString::fromLatin1(d::testoLabel1), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips::inPixel(d::Label1));
    Label1->setFont(twips::font(d::fontLabel1));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette testo = Label1->palette();
    testo.setColor(QPalette::WindowText, colori::colore(d::coloreTestoLabel1));
    Label1->setPalette(testo);

    Command1 = new PulsanteGrafico(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setText(QString::fromLatin1(d::testoCommand1));
    Command1->setFont(twips::font(d::fontCommand1));
    Command1->impostaIcona(QStringLiteral(":/icona.png"));
    Command1->setGeometry(twips::inPixel(d::Command1));
    Command1->setFocus();

    connect(Command1, &QAbstractButton::clicked, this, [this] { p.protetto([this] { Command1_Click(); }); });
}

void FormAvvio::Form_Load()
{
    QPalette tavolozza = palette();
    tavolozza.setColor(QPalette::Window, colori::colore(moduloColoriSuoni.coloreCasuale()));
    setPalette(tavolozza);
}

// Once the window is on the screen, while the child looks at it, what the game window's first paint
// would otherwise load is made ready a step at a time: Qt's picture plugins, then its fonts. Each
// step is about a millisecond at most, so "Avvio" pressed meanwhile waits for one step at most.
void FormAvvio::paintEvent(QPaintEvent *evento)
{
    QWidget::paintEvent(evento);
    if (!std::exchange(dipinta, true))
        QTimer::singleShot(0, this, [this] { preparaGioco(0); });
}

void FormAvvio::preparaGioco(int passo)
{
    if (gioco)
        return;
    if (passo == 0)
        risorse::preparaLettori();
    else if (!lettere::preparaCaratteri(passo - 1))
        return;
    QTimer::singleShot(0, this, [this, passo] { preparaGioco(passo + 1); });
}

void FormAvvio::Command1_Click()
{
    if (!gioco) {
        // The game window's whole load runs before anything of it is shown; if it fails, the error
        // ends the program and the half-made window goes with it.
        auto nuovo = std::make_unique<lettere>(p);
        nuovo->setAttribute(Qt::WA_DeleteOnClose);
        posizione::soloDimensioneFissa(nuovo.get());
        nuovo->Form_Load();
        gioco = nuovo.release();
    }
    // Where the child is looking: over the start window, which is still on the screen.
    if (!gioco->isVisible())
        posizione::centraSopra(gioco, this);
    gioco->show();
    close();
}
