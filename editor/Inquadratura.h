// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The photo with the square frame on it: drag the frame to move it, turn the wheel (or use the arrow
// keys, + and -) to zoom. What lies outside the frame is dimmed, as it will not be in the picture.

#include "editor/Riquadro.h"

#include <QImage>
#include <QWidget>

class Inquadratura : public QWidget
{
    Q_OBJECT
public:
    explicit Inquadratura(QWidget *genitore = nullptr);

    void impostaFoto(const QImage &foto); // the frame starts centred
    const QImage &foto() const { return immagine; }
    const riquadro::Posizione &posizione() const { return pos; }
    void impostaPosizione(const riquadro::Posizione &p);
    void centra();

    // Where the photo is drawn inside the widget: the whole photo, fitted and centred.
    QRectF areaFoto() const;

    // The framed square at a small size, cut from a reduced copy of the photo: quick enough to follow
    // every move of the frame.
    QImage anteprima(QSize misura) const;

    QSize sizeHint() const override { return {420, 320}; }

signals:
    void posizioneCambiata();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    double scala() const; // widget pixels per photo pixel

    QImage immagine;
    QImage vista; // the photo reduced to what a screen shows, painted at every move
    riquadro::Posizione pos;
    bool trascina = false;
    QPointF ultimo;
};
