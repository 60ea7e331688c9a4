// SPDX-License-Identifier: MIT
#include "annotation/colortext.h"

#include <QTest>

class TestColorText : public QObject
{
    Q_OBJECT

private slots:
    void userInput_data();
    void userInput();
    void hexStringFormat();
};

void TestColorText::userInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hex"); // empty: no colour

    QTest::newRow("commas and spaces") << "255, 128, 0" << "#FF8000";
    QTest::newRow("bare hex") << "FF8000" << "#FF8000";
    QTest::newRow("short hex lower case, blanks around") << "  #abc\t" << "#AABBCC";
    QTest::newRow("four components") << "10,20,30,128" << "#0A141E80";
    QTest::newRow("unreadable piece dropped") << "255, abc, 0, 0" << "#FF0000";
    QTest::newRow("repeated separators") << ",255,,0 , 0," << "#FF0000";
    QTest::newRow("fractions in range") << "127.5, 0, 255" << "#8000FF";
    QTest::newRow("small numbers are components, not fractions") << "0.5,0.5,0.5" << "#010101";
    QTest::newRow("component above 255") << "300,0,0" << "";
    QTest::newRow("two numbers") << "1,2" << "";
    QTest::newRow("five hex digits") << "#12345" << "";
    QTest::newRow("not hex") << "#abcdeg" << "";
    QTest::newRow("two hashes") << "##FFF" << "";
    QTest::newRow("words") << "orange" << "";
}

void TestColorText::userInput()
{
    QFETCH(QString, text);
    QFETCH(QString, hex);
    const std::optional<QColor> color = colorFromUserInput(text);
    QCOMPARE(color.has_value(), !hex.isEmpty());
    if (color)
        QCOMPARE(hexString(*color), hex);
}

void TestColorText::hexStringFormat()
{
    QCOMPARE(hexString(QColor::fromRgbF(1, 1, 1, 0.5f)), QStringLiteral("#FFFFFF80"));
    QCOMPARE(hexString(QColor(1, 2, 3, 254)), QStringLiteral("#010203FE"));
    QCOMPARE(hexString(QColor::fromRgbF(0.5f, 0.1f, 0.998f)), QStringLiteral("#801AFE"));
    QCOMPARE(hexString(QColor::fromHsv(120, 255, 255)), QStringLiteral("#00FF00"));
    QCOMPARE(hexString(QColor::fromRgbF(1.5f, -0.2f, 0)), QStringLiteral("#FF0000"));
}

QTEST_MAIN(TestColorText)
#include "test_colortext.moc"
