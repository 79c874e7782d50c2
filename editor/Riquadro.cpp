// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Riquadro.h"

#include "editor/FotoHeif.h"

#include "ui/errori.h"
#include "ui/immagini.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

namespace riquadro
{

Posizione alCentro(QSize foto)
{
    return {QPointF(foto.width() / 2.0, foto.height() / 2.0), 1.0};
}

QRectF quadrato(QSize foto, const Posizione &posizione)
{
    if (foto.isEmpty())
        return {};
    const double zoom = std::clamp(posizione.zoom, 1.0, zoomMassimo);
    const double l = std::min(foto.width(), foto.height()) / zoom;
    const double x = std::clamp(posizione.centro.x() - l / 2, 0.0, foto.width() - l);
    const double y = std::clamp(posizione.centro.y() - l / 2, 0.0, foto.height() - l);
    return {x, y, l, l};
}

Posizione limitata(QSize foto, const Posizione &posizione)
{
    return {quadrato(foto, posizione).center(), std::clamp(posizione.zoom, 1.0, zoomMassimo)};
}

namespace
{

// What to do with a photo the editor cannot open.
const QString consiglio = QStringLiteral("salvala come JPEG e scegli quella");

// A photo larger than the editor holds, at a whole fraction of its size that fits: a phone's
// 48-megapixel photo at half its sides, as the crop never needs more.
QSize ridotta(QSize misura)
{
    const qint64 pixel = qint64(misura.width()) * misura.height();
    int fattore = 1;
    while (pixel > immagini::massimoPixel * fattore * fattore)
        ++fattore;
    return QSize(std::max(1, misura.width() / fattore), std::max(1, misura.height() / fattore));
}

} // namespace

QImage caricaFoto(const QString &percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    const QByteArray formato = immagini::formatoFile(percorso);
    if (formato == "heif") {
        const QImage foto = fotoheif::leggi(percorso);
        if (qint64(foto.width()) * foto.height() <= immagini::massimoPixel)
            return foto;
        return foto.scaled(ridotta(foto.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImageReader lettore(percorso);
    lettore.setAutoTransform(true);
    const QSize misura = lettore.size();
    if (!lettore.canRead() || !misura.isValid())
        throw Errore(
            QStringLiteral("Il file %1 non è un'immagine che si possa aprire: %2.").arg(nome, consiglio));
    if (qint64(misura.width()) * misura.height() > immagini::massimoPixel) {
        // A large JPEG is decoded straight to the size needed, as the game does: a fraction of the
        // memory and of the time.
        if (formato == "jpeg") {
            QSize dritta = ridotta(misura);
            if (lettore.transformation() & QImageIOHandler::TransformationRotate90)
                dritta.transpose();
            return immagini::leggi(percorso, dritta).immagine;
        }
        throw Errore(QStringLiteral("L'immagine %1 è troppo grande (%2 x %3 pixel): %4, più piccola.")
                         .arg(nome)
                         .arg(misura.width())
                         .arg(misura.height())
                         .arg(consiglio));
    }
    QImage foto = lettore.read();
    if (foto.isNull())
        throw Errore(QStringLiteral("L'immagine %1 non si legge (%2): %3.")
                         .arg(nome, lettore.errorString(), consiglio));
    return foto;
}

QImage ritaglia(const QImage &foto, const Posizione &posizione)
{
    // Smooth scaling averages every photo pixel it shrinks; a painter would sample and alias.
    const QRect r = quadrato(foto.size(), posizione).toRect().intersected(foto.rect());
    QImage pezzo(r.size(), QImage::Format_RGB32);
    pezzo.fill(Qt::white);
    QPainter p(&pezzo);
    p.drawImage(QPoint(0, 0), foto, r);
    p.end();
    return pezzo.scaled(lato, lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QByteArray jpeg(const QImage &immagine)
{
    QByteArray byte;
    QBuffer buffer(&byte);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter scrittore(&buffer, "jpeg");
    scrittore.setQuality(90);
    if (!scrittore.write(immagine))
        throw Errore(
            QStringLiteral("L'immagine non si può scrivere in JPEG: %1").arg(scrittore.errorString()));
    return byte;
}

} // namespace riquadro
