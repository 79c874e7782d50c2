// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/nomi.h"

namespace regole
{

QString senzaSpaziIniziali(QStringView parola)
{
    qsizetype i = 0;
    while (i < parola.size() && parola[i] == u' ')
        ++i;
    return parola.mid(i).toString();
}

} // namespace regole
