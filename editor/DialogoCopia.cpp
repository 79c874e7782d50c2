// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DialogoCopia.h"

#include "editor/CopiaPersonale.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialogoCopia::DialogoCopia(const QString &sue, QWidget *genitore)
    : QDialog(genitore)
{
    setWindowTitle(QStringLiteral("Fai la mia copia del gioco"));
    auto *spiegazione = new QLabel(
        (sue.isEmpty() ? QStringLiteral("La copia contiene il programma del gioco e tutte le sue parole, "
                                        "immagini e suoni.")
                       : QStringLiteral("La copia contiene il programma del gioco con le parole, le "
                                        "immagini e le voci di %1, salvate.")
                             .arg(sue))
            + QStringLiteral(" Scegli una cartella nuova (o vuota): nella tua cartella personale, oppure "
                             "su una chiavetta."),
        this);
    spiegazione->setWordWrap(true);
    campo = new QLineEdit(QDir::toNativeSeparators(copiapersonale::cartellaPredefinita()), this);
    campo->setAccessibleName(QStringLiteral("Cartella della copia"));
    auto *sfoglia = new QPushButton(QStringLiteral("&Scegli…"), this);
    sfoglia->setAccessibleName(QStringLiteral("Scegli la cartella della copia"));
    sfoglia->setAutoDefault(false);
    auto *fai = new QPushButton(QStringLiteral("&Fai la copia"), this);
    fai->setAccessibleName(QStringLiteral("Fai la copia"));
    fai->setDefault(true);
    auto *annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setAccessibleName(QStringLiteral("Annulla"));
    annulla->setAutoDefault(false);
    auto *riga = new QHBoxLayout;
    riga->addWidget(campo, 1);
    riga->addWidget(sfoglia);
    auto *bottoni = new QHBoxLayout;
    bottoni->addStretch(1);
    bottoni->addWidget(fai);
    bottoni->addWidget(annulla);
    auto *tutto = new QVBoxLayout(this);
    tutto->addWidget(spiegazione);
    tutto->addLayout(riga);
    tutto->addLayout(bottoni);
    connect(sfoglia, &QPushButton::clicked, this, [this] {
        const QString scelta
            = QFileDialog::getExistingDirectory(this, QStringLiteral("Dove fare la copia"), QDir::homePath());
        if (!scelta.isEmpty())
            campo->setText(QDir::toNativeSeparators(scelta + QStringLiteral("/Batticco")));
    });
    connect(fai, &QPushButton::clicked, this, &QDialog::accept);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, sizeHint().height());
    campo->setFocus();
}

QString DialogoCopia::cartella() const
{
    const QString dove = QDir::fromNativeSeparators(campo->text().trimmed());
    return dove.isEmpty() ? QString() : QDir::cleanPath(QDir(QDir::homePath()).absoluteFilePath(dove));
}
