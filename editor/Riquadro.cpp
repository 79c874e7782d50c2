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

namespace
{

// The reductions of a JPEG's sides that libjpeg's DCT scaling gives exactly, largest first.
constexpr int riduzioni[] = {8, 4, 2, 1};

// The JPEG's upright size, by its header and EXIF orientation; invalid when it has none.
QSize misuraJpeg(const QString &percorso)
{
    QImageReader lettore(percorso);
    lettore.setAutoTransform(true);
    QSize misura = lettore.size();
    if (lettore.transformation() & QImageIOHandler::TransformationRotate90)
        misura.transpose();
    return misura;
}

// The JPEG upright at its size divided by `riduzione`, never more pixels than the editor holds.
QImage jpegRidotta(const QString &percorso, QSize originale, int riduzione)
{
    QSize misura(std::max(1, originale.width() / riduzione), std::max(1, originale.height() / riduzione));
    if (qint64(misura.width()) * misura.height() > immagini::massimoPixel)
        misura = ridotta(misura);
    return immagini::leggi(percorso, misura).immagine;
}

} // namespace

Foto apriFoto(const QString &percorso)
{
    if (immagini::formatoFile(percorso) == "jpeg") {
        const QSize originale = misuraJpeg(percorso);
        const int corto = std::min(originale.width(), originale.height());
        for (const int r : riduzioni) {
            // A photo without lato pixels to spare is read whole, by Qt, as always.
            if (!originale.isValid() || r == 1)
                break;
            if (corto / r < lato)
                continue;
            try {
                QImage piccola = jpegRidotta(percorso, originale, r);
                if (!piccola.isNull())
                    return {std::move(piccola), originale, percorso};
            } catch (const Errore &) {
                // What libjpeg refuses, Qt's reader may still open, or say why not.
            }
            break;
        }
    }
    QImage foto = caricaFoto(percorso);
    const QSize misura = foto.size();
    return {std::move(foto), misura, QString()};
}

QImage ritaglia(const Foto &foto, const Posizione &posizione)
{
    const QRectF q = quadrato(foto.immagine.size(), posizione);
    if (foto.percorso.isEmpty() || foto.immagine.isNull() || q.width() >= lato)
        return ritaglia(foto.immagine, posizione);
    // The frame is zoomed in past the pixels held: the square's side in the file's own pixels,
    // then the largest reduction that still gives it lato of them.
    const double fattore = foto.originale.width() / double(foto.immagine.width());
    int r = 1;
    for (const int k : riduzioni) {
        if (q.width() * fattore / k >= lato) {
            r = k;
            break;
        }
    }
    if (foto.originale.width() / r <= foto.immagine.width())
        return ritaglia(foto.immagine, posizione);
    QImage grande;
    // A file changed or gone meanwhile gives the picture from what is held.
    if (misuraJpeg(foto.percorso) == foto.originale) {
        try {
            grande = jpegRidotta(foto.percorso, foto.originale, r);
        } catch (const Errore &) {
        }
    }
    if (grande.isNull())
        return ritaglia(foto.immagine, posizione);
    const double k = grande.width() / double(foto.immagine.width());
    return ritaglia(grande, {posizione.centro * k, posizione.zoom});
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
