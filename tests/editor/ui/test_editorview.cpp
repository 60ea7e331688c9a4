// SPDX-License-Identifier: MIT
#include <QTest>
class Testeditorview : public QObject { Q_OBJECT };
QTEST_MAIN(Testeditorview)
#include "test_editorview.moc"
