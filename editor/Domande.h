// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's questions and notices, behind an interface so tests answer them without a modal loop.

#include <QString>
#include <QStringList>

class QWidget;

class Domande
{
public:
    enum class Salvataggio { salva, nonSalvare, annulla };

    virtual ~Domande() = default;
    // A yes-or-no question whose yes button says `si` ("Togli", "Aggiorna").
    virtual bool chiedi(const QString &titolo, const QString &testo, const QString &si) = 0;
    // Unsaved changes: save them, drop them, or stay.
    virtual Salvataggio chiediSalvataggio(const QString &testo) = 0;
    virtual void avvisa(const QString &titolo, const QString &testo) = 0;
    // One of several answers, the first the default; -1 when she closes the question (Esc).
    virtual int scegli(const QString &titolo, const QString &testo, const QStringList &risposte) = 0;
};

class DomandeQt final : public Domande
{
public:
    explicit DomandeQt(QWidget *genitore)
        : genitore(genitore)
    {
    }
    bool chiedi(const QString &titolo, const QString &testo, const QString &si) override;
    Salvataggio chiediSalvataggio(const QString &testo) override;
    void avvisa(const QString &titolo, const QString &testo) override;
    int scegli(const QString &titolo, const QString &testo, const QStringList &risposte) override;

private:
    QWidget *genitore;
};
