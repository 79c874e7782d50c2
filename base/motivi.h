// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

class QFileDevice;

// The system's reasons, in Italian. A failed file operation's reason as the system gives it (an
// errno, or the text Qt made of one) becomes the words a teacher reads: "permesso negato", "il disco
// è pieno". A reason with no Italian wording is kept as the system says it.
namespace motivi
{

// The reason for errno `numero`.
QString diSistema(int numero);

// The reason for the last failure of `file` (an open, a read, a write or a QSaveFile's commit). A
// write that failed on a disk with no room left says so even when the system gave no reason.
QString diFile(const QFileDevice &file);

// A message's text as it may go to a terminal: control characters (a NUL, an escape) are written
// as their code, [U+0000], so that none cuts the text short or acts on the terminal; line ends and
// tabs stay.
QString visibile(const QString &testo);

// A text no longer than a line or two: one longer than `inizio` + `fine` + 1 characters keeps its
// first `inizio` and its last `fine`, with an ellipsis between, since a box laying out megabytes of
// a hostile "word" would hang the program.
QString accorciato(QStringView testo, qsizetype inizio, qsizetype fine);

} // namespace motivi
