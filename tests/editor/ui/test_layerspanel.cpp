// SPDX-License-Identifier: MIT
#include <QTest>
class Testlayerspanel : public QObject { Q_OBJECT };
QTEST_MAIN(Testlayerspanel)
#include "test_layerspanel.moc"
