// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The editor's questions and notices, behind an interface so tests answer them without a modal loop.

#include <QString>

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

private:
    QWidget *genitore;
};
