// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Qt's own texts in Italian: the file dialogs, a text field's right-click menu, the key names in
// menus ("Canc", "Maiusc"). The program's own texts are Italian already; these come from Qt's
// translations as the system installs them.
namespace traduzioni
{

// Installs Qt's Italian translation on the application; false when the system has none (the
// texts then stay Qt's English).
bool caricaQt(QCoreApplication &applicazione);

} // namespace traduzioni
