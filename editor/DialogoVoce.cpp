// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DialogoVoce.h"

#include "editor/Voce.h"
#include "editor/VoceComputer.h"
#include "ui/registratore.h"
#include "ui/suoni.h"

#include <QApplication>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace
{

// The meter shows the peak from -60 dBFS (empty) to 0 (full), as a desktop's sound settings do.
int sulMisuratore(float picco)
{
    if (picco <= 0)
        return 0;
    return std::clamp(int(std::lround((20.0 * std::log10(picco) + 60.0) / 60.0 * 100.0)), 0, 100);
}

QString secondi(double s)
{
    return QLocale(QLocale::Italian).toString(s, 'f', 2);
}

} // namespace

DialogoVoce::DialogoVoce(const QString &parola, const QByteArray &attuale, Registratore &registratore,
    Riproduttore &riproduttore, QWidget *genitore)
    : QDialog(genitore)
    , parola(parola)
    , attuale(attuale)
    , registratore(registratore)
    , riproduttore(riproduttore)
{
    setObjectName(QStringLiteral("DialogoVoce"));
    setWindowTitle(QStringLiteral("Registra la voce di «%1»").arg(parola));

    auto *spiegazione = new QLabel(
        QStringLiteral("Premi «Registra», di' «%1» con calma vicino al microfono, poi premi «Ferma» "
                       "(al massimo %2 secondi). I silenzi prima e dopo si tolgono da soli.")
            .arg(parola)
            .arg(Registratore::massimiSecondi),
        this);
    spiegazione->setWordWrap(true);

    bottoneRegistra = new QPushButton(QStringLiteral("&Registra"), this);
    bottoneRegistra->setAccessibleName(QStringLiteral("Registra"));
    bottoneFerma = new QPushButton(QStringLiteral("&Ferma"), this);
    bottoneFerma->setAccessibleName(QStringLiteral("Ferma"));
    livello = new QProgressBar(this);
    livello->setRange(0, 100);
    livello->setTextVisible(false);
    livello->setAccessibleName(QStringLiteral("Livello del microfono"));
    bottoneAscolta = new QPushButton(QStringLiteral("&Ascolta"), this);
    bottoneAscolta->setAccessibleName(QStringLiteral("Ascolta"));
    auto *rigaRegistra = new QHBoxLayout;
    rigaRegistra->addWidget(bottoneRegistra);
    rigaRegistra->addWidget(bottoneFerma);
    rigaRegistra->addWidget(livello, 1);
    rigaRegistra->addWidget(bottoneAscolta);

    esito = new QLabel(this);
    esito->setWordWrap(true);
    // No name of its own: a screen reader reads what it says.
    esito->setMinimumHeight(esito->fontMetrics().lineSpacing() * 3);

    pronuncia = new QLineEdit(this);
    pronuncia->setPlaceholderText(QStringLiteral("come si pronuncia, se serve: per esempio «àncora»"));
    pronuncia->setAccessibleName(QStringLiteral("Pronuncia"));
    pronuncia->setToolTip(QStringLiteral("Il computer legge questo testo al posto della parola: metti "
                                         "l'accento dove va, per esempio «àncora»."));
    bottoneComputer = new QPushButton(QStringLiteral("&Voce del computer"), this);
    bottoneComputer->setAccessibleName(QStringLiteral("Voce del computer"));
    auto *rigaComputer = new QHBoxLayout;
    rigaComputer->addWidget(pronuncia, 1);
    rigaComputer->addWidget(bottoneComputer);
    auto *modulo = new QFormLayout;
    auto *etichetta = new QLabel(QStringLiteral("&Pronuncia:"), this);
    etichetta->setBuddy(pronuncia);
    modulo->addRow(etichetta, rigaComputer);

    conferma = new QPushButton(QStringLiteral("OK"), this);
    conferma->setAccessibleName(QStringLiteral("OK"));
    annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setAccessibleName(QStringLiteral("Annulla"));
    for (QPushButton *b : {bottoneRegistra, bottoneFerma, bottoneAscolta, bottoneComputer, annulla})
        b->setAutoDefault(false);
    conferma->setDefault(true);
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch(1);
    bottoni->addWidget(conferma);
    bottoni->addWidget(annulla);

    auto *tutto = new QVBoxLayout(this);
    tutto->addWidget(spiegazione);
    tutto->addLayout(rigaRegistra);
    tutto->addWidget(esito);
    tutto->addLayout(modulo);
    tutto->addLayout(bottoni);

    orologio = new QTimer(this);
    orologio->setInterval(50);
    connect(orologio, &QTimer::timeout, this, &DialogoVoce::controllaRegistrazione);
    connect(bottoneRegistra, &QPushButton::clicked, this, &DialogoVoce::registra);
    connect(bottoneFerma, &QPushButton::clicked, this, &DialogoVoce::ferma);
    connect(bottoneAscolta, &QPushButton::clicked, this, &DialogoVoce::ascolta);
    connect(bottoneComputer, &QPushButton::clicked, this, &DialogoVoce::voceDelComputer);
    connect(pronuncia, &QLineEdit::returnPressed, this, &DialogoVoce::voceDelComputer);
    connect(conferma, &QPushButton::clicked, this, &QDialog::accept);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);

    esito->setText(attuale.isEmpty()
            ? QStringLiteral("«%1» non ha ancora una voce.").arg(parola)
            : QStringLiteral("«%1» ha già una voce: «Ascolta» la fa sentire.").arg(parola));
    resize(560, sizeHint().height());
    aggiorna();
    bottoneRegistra->setFocus();
}

DialogoVoce::~DialogoVoce()
{
    if (registrando)
        registratore.ferma();
}

void DialogoVoce::registra()
{
    registratore.avvia();
    registrando = true;
    esito->setText(QStringLiteral("Sto registrando: di' «%1»…").arg(parola));
    orologio->start();
    aggiorna();
    bottoneFerma->setFocus();
}

void DialogoVoce::ferma()
{
    if (!registrando)
        return;
    registratore.ferma();
    controllaRegistrazione();
}

void DialogoVoce::controllaRegistrazione()
{
    const Registratore::Stato s = registratore.stato();
    livello->setValue(sulMisuratore(registratore.livello()));
    if (s == Registratore::Stato::apertura || s == Registratore::Stato::registra)
        return;
    orologio->stop();
    registrando = false;
    livello->setValue(0);
    if (s == Registratore::Stato::errore) {
        esito->setText(registratore.errore());
    } else {
        const voce::Risultato r = voce::prepara(registratore.campioni(), Registratore::frequenza);
        if (r.wav.isEmpty())
            esito->setText(r.errore);
        else
            tieni(r.wav,
                QStringLiteral("Registrata (tolti %1 s di silenzio prima e %2 s dopo).")
                    .arg(secondi(r.secondiTolti[0]), secondi(r.secondiTolti[1])));
    }
    aggiorna();
    bottoneRegistra->setFocus();
}

void DialogoVoce::voceDelComputer()
{
    if (registrando)
        return;
    const QString testo = pronuncia->text().trimmed().isEmpty() ? parola : pronuncia->text().trimmed();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const voce::Risultato r = vocecomputer::voce(testo);
    QApplication::restoreOverrideCursor();
    if (r.wav.isEmpty())
        esito->setText(r.errore);
    else
        tieni(r.wav, QStringLiteral("Voce del computer per «%1».").arg(testo));
    aggiorna();
}

void DialogoVoce::tieni(const QByteArray &wav, const QString &come)
{
    nuova = wav;
    esito->setText(come + QStringLiteral(" Premi «Ascolta» per sentirla, «OK» per tenerla."));
    ascolta();
}

void DialogoVoce::ascolta()
{
    const QByteArray &da = nuova.isEmpty() ? attuale : nuova;
    if (da.isEmpty() || !ascolti.isValid())
        return;
    // A new file each time: the player reads the file on its own thread, perhaps still the last one.
    QFile f(ascolti.filePath(QStringLiteral("voce%1.wav").arg(++ascoltate)));
    if (f.open(QIODevice::WriteOnly) && f.write(da) == da.size()) {
        f.close();
        riproduttore.suona(f.fileName());
    }
}

void DialogoVoce::aggiorna()
{
    bottoneRegistra->setEnabled(!registrando);
    bottoneFerma->setEnabled(registrando);
    bottoneAscolta->setEnabled(!registrando && !(nuova.isEmpty() && attuale.isEmpty()));
    bottoneComputer->setEnabled(!registrando);
    pronuncia->setEnabled(!registrando);
    conferma->setEnabled(!registrando && !nuova.isEmpty());
}
