// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/Domande.h"

#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <vector>

bool DomandeQt::chiedi(const QString &titolo, const QString &testo, const QString &si)
{
    QMessageBox box(QMessageBox::Question, titolo, testo, QMessageBox::NoButton, genitore);
    QPushButton *bottoneSi = box.addButton(si, QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(bottoneSi);
    box.exec();
    return box.clickedButton() == bottoneSi;
}

Domande::Salvataggio DomandeQt::chiediSalvataggio(const QString &testo)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Modifiche non salvate"), testo,
        QMessageBox::NoButton, genitore);
    QPushButton *salva = box.addButton(QStringLiteral("&Salva"), QMessageBox::AcceptRole);
    QPushButton *nonSalvare = box.addButton(QStringLiteral("&Non salvare"), QMessageBox::DestructiveRole);
    QPushButton *annulla = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(salva);
    box.setEscapeButton(annulla);
    box.exec();
    if (box.clickedButton() == salva)
        return Salvataggio::salva;
    if (box.clickedButton() == nonSalvare)
        return Salvataggio::nonSalvare;
    return Salvataggio::annulla;
}

void DomandeQt::avvisa(const QString &titolo, const QString &testo)
{
    QMessageBox::warning(genitore, titolo, testo);
}

int DomandeQt::scegli(const QString &titolo, const QString &testo, const QStringList &risposte)
{
    QMessageBox box(QMessageBox::Question, titolo, testo, QMessageBox::NoButton, genitore);
    std::vector<QPushButton *> bottoni;
    for (const QString &r : risposte)
        bottoni.push_back(box.addButton(r, QMessageBox::AcceptRole));
    QPushButton *annulla = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(bottoni.empty() ? annulla : bottoni.front());
    box.setEscapeButton(annulla);
    box.exec();
    const auto i = std::find(bottoni.begin(), bottoni.end(), box.clickedButton());
    return i == bottoni.end() ? -1 : int(i - bottoni.begin());
}
