// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Inquadratura.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

Inquadratura::Inquadratura(QWidget *genitore)
    : QWidget(genitore)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 180);
    setCursor(Qt::OpenHandCursor);
    setAccessibleName(QStringLiteral("Inquadratura della foto"));
    setAccessibleDescription(
        QStringLiteral("Il quadrato è la parte della foto che diventa la figura: trascinalo per spostarlo, "
                       "usa la rotellina o i tasti più e meno per ingrandire, le frecce per spostare."));
}

void Inquadratura::impostaFoto(const QImage &foto)
{
    immagine = foto;
    constexpr int latoVista = 1200;
    vista = std::max(foto.width(), foto.height()) > latoVista
        ? foto.scaled(latoVista, latoVista, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : foto;
    pos = riquadro::alCentro(foto.size());
    update();
    emit posizioneCambiata();
}

void Inquadratura::impostaPosizione(const riquadro::Posizione &p)
{
    pos = riquadro::limitata(immagine.size(), p);
    update();
    emit posizioneCambiata();
}

void Inquadratura::centra()
{
    impostaPosizione({riquadro::alCentro(immagine.size()).centro, pos.zoom});
}

double Inquadratura::scala() const
{
    if (immagine.isNull())
        return 1;
    return std::min(width() / double(immagine.width()), height() / double(immagine.height()));
}

QRectF Inquadratura::areaFoto() const
{
    const double s = scala();
    const QSizeF m(immagine.width() * s, immagine.height() * s);
    return {(width() - m.width()) / 2, (height() - m.height()) / 2, m.width(), m.height()};
}

QImage Inquadratura::anteprima(QSize misura) const
{
    if (immagine.isNull())
        return {};
    const double f = vista.width() / double(immagine.width());
    const QRectF q = riquadro::quadrato(immagine.size(), pos);
    const QRectF r(q.x() * f, q.y() * f, q.width() * f, q.height() * f);
    QImage pezzo(misura, QImage::Format_RGB32);
    pezzo.fill(Qt::white);
    QPainter p(&pezzo);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), misura), vista, r);
    return pezzo;
}

void Inquadratura::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (immagine.isNull()) {
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral("Scegli una foto, o trascinala qui da una cartella."));
        return;
    }
    const QRectF area = areaFoto();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(area, vista);
    const QRectF q = riquadro::quadrato(immagine.size(), pos);
    const double s = scala();
    const QRectF cornice(area.x() + q.x() * s, area.y() + q.y() * s, q.width() * s, q.height() * s);
    QPainterPath fuori;
    fuori.addRect(area);
    fuori.addRect(cornice);
    p.fillPath(fuori, QColor(0, 0, 0, 140));
    p.setPen(QPen(Qt::white, 3));
    p.drawRect(cornice);
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawRect(cornice);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight(), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void Inquadratura::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || immagine.isNull())
        return;
    trascina = true;
    ultimo = e->position();
    setCursor(Qt::ClosedHandCursor);
}

void Inquadratura::mouseMoveEvent(QMouseEvent *e)
{
    if (!trascina)
        return;
    const QPointF d = (e->position() - ultimo) / scala();
    ultimo = e->position();
    impostaPosizione({pos.centro + d, pos.zoom});
}

void Inquadratura::mouseReleaseEvent(QMouseEvent *)
{
    trascina = false;
    setCursor(Qt::OpenHandCursor);
}

void Inquadratura::wheelEvent(QWheelEvent *e)
{
    if (immagine.isNull())
        return;
    const double passi = e->angleDelta().y() / 120.0;
    impostaPosizione({pos.centro, pos.zoom * std::pow(1.1, passi)});
}

void Inquadratura::keyPressEvent(QKeyEvent *e)
{
    if (immagine.isNull())
        return QWidget::keyPressEvent(e);
    const double passo = riquadro::quadrato(immagine.size(), pos).width() / 20;
    QPointF c = pos.centro;
    double z = pos.zoom;
    switch (e->key()) {
    case Qt::Key_Left:
        c.rx() -= passo;
        break;
    case Qt::Key_Right:
        c.rx() += passo;
        break;
    case Qt::Key_Up:
        c.ry() -= passo;
        break;
    case Qt::Key_Down:
        c.ry() += passo;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        z *= 1.1;
        break;
    case Qt::Key_Minus:
        z /= 1.1;
        break;
    default:
        return QWidget::keyPressEvent(e);
    }
    impostaPosizione({c, z});
}
