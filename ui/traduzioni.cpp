// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/traduzioni.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace traduzioni
{

bool caricaQt(QCoreApplication &applicazione)
{
    // Italian whatever the desktop's language: the program around these texts speaks nothing else.
    auto *traduttore = new QTranslator(&applicazione);
    if (!traduttore->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduttore;
        return false;
    }
    return QCoreApplication::installTranslator(traduttore);
}

} // namespace traduzioni
