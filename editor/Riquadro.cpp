// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Riquadro.h"

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

QImage caricaFoto(const QString &percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    QImageReader lettore(percorso);
    lettore.setAutoTransform(true);
    const QSize misura = lettore.size();
    if (!lettore.canRead() || !misura.isValid())
        throw Errore(QStringLiteral("Il file %1 non è un'immagine che si possa aprire.").arg(nome));
    if (qint64(misura.width()) * misura.height() > immagini::massimoPixel)
        throw Errore(QStringLiteral("L'immagine %1 è troppo grande (%2 x %3 pixel).")
                         .arg(nome)
                         .arg(misura.width())
                         .arg(misura.height()));
    QImage foto = lettore.read();
    if (foto.isNull())
        throw Errore(QStringLiteral("L'immagine %1 non si legge: %2").arg(nome, lettore.errorString()));
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
