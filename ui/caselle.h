// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <functional>

// Virtual-key codes of the classic desktop, the codes the letter boxes judge keys by. Qt's own key
// codes are mapped to them here and nowhere else.
namespace tastiVirtuali
{
inline constexpr int invio = 13;
inline constexpr int blocMaiuscole = 20;

int daTastoQt(int tastoQt);
int statoMaiuscole(Qt::KeyboardModifiers modificatori); // 1 Shift, 2 Ctrl, 4 Alt
} // namespace tastiVirtuali

// A one-line letter box with the two key events of the classic desktop: a key press that may change
// the character before the box receives it, and a key release carrying the virtual-key code.
// Releases that auto-repeat sends while a key is held are not passed on: a held key is released once.
// Only typed keys put text in a box: no edit menu, no paste, no drop.
class QLabel;

class CasellaTesto : public QLineEdit
{
    Q_OBJECT
public:
    explicit CasellaTesto(QWidget *genitore = nullptr);

    std::function<void(qint16 &carattere)> allaPressione;
    std::function<void(int codiceTasto, int maiuscole)> alRilascio;

protected:
    void keyPressEvent(QKeyEvent *evento) override;
    void keyReleaseEvent(QKeyEvent *evento) override;
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;
    void paintEvent(QPaintEvent *evento) override;
};

// A letter label drawn like a letter box: white, with the same thin border.
void comeCasella(QLabel *etichetta);
