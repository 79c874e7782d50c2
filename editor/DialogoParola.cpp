// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DialogoParola.h"

#include "editor/Inquadratura.h"
#include "editor/Riquadro.h"
#include "ui/errori.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <cmath>

namespace
{

constexpr int passiZoom = 100; // the slider's steps from zoom 1 to the most

int sliderDaZoom(double z)
{
    return int(std::lround(std::log(z) / std::log(riquadro::zoomMassimo) * passiZoom));
}

double zoomDaSlider(int v)
{
    return std::pow(riquadro::zoomMassimo, v / double(passiZoom));
}

QString filtroImmagini()
{
    // An iPhone's photos are HEIC, read here through libheif; cameras often name files in capitals.
    QStringList estensioni;
    QList<QByteArray> formati = QImageReader::supportedImageFormats();
    formati << "heic"
            << "heif";
    for (const QByteArray &f : formati) {
        const QString e = QString::fromLatin1(f);
        for (const QString &n : {e, e.toUpper()}) {
            if (!estensioni.contains(QStringLiteral("*.") + n))
                estensioni << QStringLiteral("*.") + n;
        }
    }
    return QStringLiteral("Immagini (%1);;Tutti i file (*)").arg(estensioni.join(u' '));
}

} // namespace

DialogoParola::DialogoParola(int lettere, std::function<QString(const QString &)> controllo,
    const QString &parolaFissa, QWidget *genitore)
    : QDialog(genitore)
    , controllo(std::move(controllo))
    , fissa(!parolaFissa.isEmpty())
{
    setWindowTitle(fissa ? QStringLiteral("Nuova immagine per «%1»").arg(parolaFissa)
                         : QStringLiteral("Nuova parola di %1 lettere").arg(lettere));
    setAcceptDrops(true);

    campoParola = new QLineEdit(parolaFissa, this);
    campoParola->setReadOnly(fissa);
    campoParola->setMaxLength(40);
    campoParola->setAccessibleName(QStringLiteral("Parola"));
    esitoParola = new QLabel(this);
    esitoParola->setWordWrap(true);
    esitoParola->setAccessibleName(QStringLiteral("Controllo della parola"));

    campoFile = new QLineEdit(this);
    campoFile->setPlaceholderText(QStringLiteral("il percorso della foto, poi Invio"));
    campoFile->setAccessibleName(QStringLiteral("File della foto"));
    sfoglia = new QPushButton(QStringLiteral("&Scegli la foto…"), this);
    sfoglia->setAccessibleName(QStringLiteral("Scegli la foto"));
    auto *rigaFile = new QHBoxLayout;
    rigaFile->addWidget(campoFile, 1);
    rigaFile->addWidget(sfoglia);

    inquadratura = new Inquadratura(this);
    zoom = new QSlider(Qt::Horizontal, this);
    zoom->setRange(0, passiZoom);
    zoom->setAccessibleName(QStringLiteral("Ingrandimento del quadrato"));
    centra = new QPushButton(QStringLiteral("Al &centro"), this);
    centra->setAccessibleName(QStringLiteral("Rimetti il quadrato al centro"));
    auto *rigaZoom = new QHBoxLayout;
    rigaZoom->addWidget(new QLabel(QStringLiteral("Ingrandisci:"), this));
    rigaZoom->addWidget(zoom, 1);
    rigaZoom->addWidget(centra);
    esitoFoto = new QLabel(this);
    esitoFoto->setWordWrap(true);
    esitoFoto->setAccessibleName(QStringLiteral("Controllo della foto"));

    anteprima = new QLabel(this);
    anteprima->setFixedSize(160, 160);
    anteprima->setFrameShape(QFrame::Box);
    anteprima->setAlignment(Qt::AlignCenter);
    anteprima->setAccessibleName(QStringLiteral("Anteprima della figura nel gioco"));

    bottoneVoce = new QPushButton(QStringLiteral("Registra la &voce…"), this);
    bottoneVoce->setAccessibleName(QStringLiteral("Registra la voce"));
    esitoVoce = new QLabel(QStringLiteral("nessuna voce"), this);
    esitoVoce->setAccessibleName(QStringLiteral("Voce della parola"));
    auto *rigaVoce = new QHBoxLayout;
    rigaVoce->addWidget(bottoneVoce);
    rigaVoce->addWidget(esitoVoce, 1);
    bottoneVoce->hide();
    esitoVoce->hide();

    conferma
        = new QPushButton(fissa ? QStringLiteral("Cambia l'&immagine") : QStringLiteral("&Aggiungi"), this);
    conferma->setAccessibleName(
        fissa ? QStringLiteral("Cambia l'immagine") : QStringLiteral("Aggiungi la parola"));
    annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setAccessibleName(QStringLiteral("Annulla"));
    // Enter in the file field opens the photo; it must not also close the dialog.
    for (QPushButton *b : {sfoglia, centra, bottoneVoce, conferma, annulla})
        b->setAutoDefault(false);

    auto *modulo = new QFormLayout;
    modulo->addRow(QStringLiteral("&Parola:"), campoParola);
    modulo->addRow(QString(), esitoParola);
    auto *etichettaFile = new QLabel(QStringLiteral("&Foto:"), this);
    etichettaFile->setBuddy(campoFile);
    modulo->addRow(etichettaFile, rigaFile);
    modulo->addRow(QString(), rigaVoce);

    auto *destra = new QVBoxLayout;
    destra->addWidget(new QLabel(QStringLiteral("Nel gioco:"), this));
    destra->addWidget(anteprima);
    destra->addStretch(1);

    auto *centro = new QHBoxLayout;
    centro->addWidget(inquadratura, 1);
    centro->addLayout(destra);

    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch(1);
    bottoni->addWidget(conferma);
    bottoni->addWidget(annulla);

    auto *tutto = new QVBoxLayout(this);
    tutto->addLayout(modulo);
    tutto->addLayout(centro, 1);
    tutto->addLayout(rigaZoom);
    tutto->addWidget(esitoFoto);
    tutto->addLayout(bottoni);

    connect(campoParola, &QLineEdit::textChanged, this, &DialogoParola::aggiorna);
    // A voice says the word it was made for.
    connect(campoParola, &QLineEdit::textChanged, this, [this] {
        if (!registrata.isEmpty()) {
            registrata.clear();
            esitoVoce->setText(QStringLiteral("nessuna voce"));
        }
    });
    connect(campoFile, &QLineEdit::returnPressed, this, [this] { caricaFoto(campoFile->text().trimmed()); });
    connect(sfoglia, &QPushButton::clicked, this, [this] {
        const QString iniziale = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        const QString scelto = QFileDialog::getOpenFileName(this, QStringLiteral("Scegli la foto"),
            QDir(iniziale).exists() ? iniziale : QDir::homePath(), filtroImmagini());
        if (!scelto.isEmpty())
            caricaFoto(scelto);
    });
    connect(zoom, &QSlider::valueChanged, this, [this](int v) {
        riquadro::Posizione p = inquadratura->posizione();
        if (sliderDaZoom(p.zoom) == v)
            return;
        p.zoom = zoomDaSlider(v);
        inquadratura->impostaPosizione(p);
    });
    connect(centra, &QPushButton::clicked, inquadratura, &Inquadratura::centra);
    connect(inquadratura, &Inquadratura::posizioneCambiata, this, [this] {
        zoom->setValue(sliderDaZoom(inquadratura->posizione().zoom));
        aggiorna();
    });
    connect(conferma, &QPushButton::clicked, this, &QDialog::accept);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(bottoneVoce, &QPushButton::clicked, this, [this] {
        const QByteArray v = registraVoce ? registraVoce(parola()) : QByteArray();
        if (!v.isEmpty()) {
            registrata = v;
            esitoVoce->setText(QStringLiteral("voce registrata"));
        }
    });

    resize(720, 560);
    (fissa ? static_cast<QWidget *>(campoFile) : campoParola)->setFocus();
    aggiorna();
}

QString DialogoParola::parola() const
{
    return campoParola->text().trimmed().toLower();
}

QImage DialogoParola::immagine() const
{
    riquadro::Foto foto = aperta;
    foto.immagine = inquadratura->foto();
    return riquadro::ritaglia(foto, inquadratura->posizione());
}

bool DialogoParola::caricaFoto(const QString &percorso)
{
    try {
        riquadro::Foto foto = riquadro::apriFoto(percorso);
        campoFile->setText(QDir::toNativeSeparators(percorso));
        inquadratura->impostaFoto(foto.immagine);
        foto.immagine = QImage(); // the frame holds it
        aperta = foto;
        const QSize misura = foto.originale;
        QString nota;
        if (std::min(misura.width(), misura.height()) < riquadro::lato / 2)
            nota
                = QStringLiteral(" È piccola: nel gioco si vedrà sfocata. Se puoi, scegline una più grande.");
        esitoFoto->setText(
            QStringLiteral("Foto di %1 x %2 pixel. Sposta il quadrato sulla parte da mostrare.%3")
                .arg(misura.width())
                .arg(misura.height())
                .arg(nota));
        return true;
    } catch (const Errore &e) {
        esitoFoto->setText(e.messaggio());
        aggiorna();
        return false;
    }
}

void DialogoParola::offriVoce(std::function<QByteArray(const QString &)> registra)
{
    registraVoce = std::move(registra);
    bottoneVoce->show();
    esitoVoce->show();
    aggiorna();
}

void DialogoParola::aggiorna()
{
    const QString problema = fissa ? QString() : controllo(parola());
    if (!fissa) {
        esitoParola->setText(problema.isEmpty() ? QStringLiteral("Va bene.") : problema);
        QPalette colori = esitoParola->palette();
        colori.setColor(
            QPalette::WindowText, problema.isEmpty() ? QColor(0x00, 0x70, 0x00) : QColor(0xB0, 0x00, 0x00));
        esitoParola->setPalette(colori);
    }
    const bool foto = !inquadratura->foto().isNull();
    if (foto)
        anteprima->setPixmap(QPixmap::fromImage(inquadratura->anteprima(anteprima->size() - QSize(2, 2))));
    else
        anteprima->setText(QStringLiteral("nessuna foto"));
    conferma->setEnabled(problema.isEmpty() && foto);
    // A voice is made for a word that may go in the list.
    bottoneVoce->setEnabled(problema.isEmpty());
}

void DialogoParola::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls() || e->mimeData()->hasImage())
        e->acceptProposedAction();
}

void DialogoParola::dropEvent(QDropEvent *e)
{
    const QMimeData *dati = e->mimeData();
    for (const QUrl &u : dati->urls()) {
        if (u.isLocalFile() && caricaFoto(u.toLocalFile())) {
            e->acceptProposedAction();
            return;
        }
    }
    if (dati->hasImage()) {
        const QImage foto = qvariant_cast<QImage>(dati->imageData());
        if (!foto.isNull()) {
            campoFile->clear();
            inquadratura->impostaFoto(foto);
            aperta = {QImage(), foto.size(), QString()};
            esitoFoto->setText(QStringLiteral("Foto di %1 x %2 pixel.").arg(foto.width()).arg(foto.height()));
            e->acceptProposedAction();
        }
    }
}
