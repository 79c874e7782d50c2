// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/risorse.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QtMath>

#include <algorithm>

namespace risorse
{

QImage immagine(const QString &risorsa)
{
    QImageReader lettore(risorsa, QByteArrayLiteral("png"));
    lettore.setAutoDetectImageFormat(false);
    return lettore.read();
}

QIcon icona(const QString &risorsa, qreal rapporto)
{
    QIcon icona;
    const QImage base = immagine(risorsa);
    if (base.isNull())
        return icona;
    icona.addPixmap(QPixmap::fromImage(base));
    // As Qt looks for a picture drawn for the screen's ratio: "@Nx" for the ratio rounded up, then
    // for each smaller N down to 2; none when the environment turns that off.
    if (rapporto <= 0)
        rapporto = qApp->devicePixelRatio();
    if (rapporto <= 1.0 || !qEnvironmentVariableIsEmpty("QT_HIGHDPI_DISABLE_2X_IMAGE_LOADING"))
        return icona;
    const qsizetype punto = risorsa.lastIndexOf(u'.');
    for (int n = std::min(qCeil(rapporto), 9); n > 1; --n) {
        QString nome = risorsa;
        nome.insert(punto < 0 ? nome.size() : punto, QStringLiteral("@%1x").arg(n));
        if (QFile::exists(nome)) {
            const QImage grande = immagine(nome);
            if (!grande.isNull())
                icona.addPixmap(QPixmap::fromImage(grande));
            break;
        }
    }
    return icona;
}

void preparaLettori()
{
    // A file of no stated format: the reader asks each plugin in turn, loading it.
    QImageReader lettore(QStringLiteral(":/icona.png"));
    lettore.format();
}

} // namespace risorse
