// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace regole
{

// The word as it names its picture and its voice: leading blanks removed, tabs and trailing blanks
// kept. The game, the checker and the data-path lookups all name files by this one rule.
QString senzaSpaziIniziali(QStringView parola);

} // namespace regole
