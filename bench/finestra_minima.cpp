// SPDX-License-Identifier: GPL-3.0-or-later
// The floor any Qt Widgets program stands on: a window of the start window's size with a menu bar,
// a few labels and buttons, and nothing else. Start-up and memory are measured against it.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow finestra;
    finestra.setWindowTitle(QStringLiteral(" "));
    for (const char *voce : {"Azzera", "Liste", "Opzioni", "Esci"})
        finestra.menuBar()->addMenu(QString::fromLatin1(voce))->addAction(QStringLiteral("Voce"));
    auto *area = new QWidget;
    area->setFixedSize(588, 453);
    finestra.setCentralWidget(area);
    auto *titolo = new QLabel(QStringLiteral("FINESTRA"), area);
    titolo->setFont(QFont(QStringLiteral("Arial"), 40, QFont::Bold));
    titolo->setGeometry(56, 88, 481, 97);
    auto *nota = new QLabel(QStringLiteral("Un'etichetta"), area);
    nota->setGeometry(56, 200, 200, 24);
    for (int i = 0; i < 3; ++i) {
        auto *b = new QPushButton(QStringLiteral("Pulsante %1").arg(i + 1), area);
        b->setFont(QFont(QStringLiteral("Arial"), 15, QFont::Bold));
        b->setGeometry(56 + 170 * i, 300, 150, 60);
    }
    finestra.show();
    return QApplication::exec();
}
