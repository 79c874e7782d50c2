// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "tst_copiapersonale.moc"
