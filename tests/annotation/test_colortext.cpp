// SPDX-License-Identifier: MIT
#include "annotation/colortext.h"

#include <QTest>

class TestColorText : public QObject
{
    Q_OBJECT

private slots:
    void userInput_data();
    void userInput();
    void smallNumbersAreComponentsNotFractions();
    void hexStringFormat_data();
    void hexStringFormat();
};

void TestColorText::userInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hex"); // empty: no colour

    QTest::newRow("commas and spaces") << "255, 128, 0" << "#FF8000";
    QTest::newRow("spaces only") << "255 128 0" << "#FF8000";
    QTest::newRow("hash hex") << "#FF8000" << "#FF8000";
    QTest::newRow("bare hex") << "FF8000" << "#FF8000";
    QTest::newRow("short hex") << "#F80" << "#FF8800";
    QTest::newRow("short hex lower case, blanks around") << "  #abc\t" << "#AABBCC";
    QTest::newRow("hex with alpha") << "#ff000080" << "#FF000080";
    QTest::newRow("four components") << "10,20,30,128" << "#0A141E80";
    QTest::newRow("unreadable piece dropped") << "255, abc, 0, 0" << "#FF0000";
    QTest::newRow("repeated separators") << ",255,,0 , 0," << "#FF0000";
    QTest::newRow("fractions in range") << "127.5, 0, 255" << "#8000FF";
    QTest::newRow("component above 255") << "300,0,0" << "";
    QTest::newRow("negative component") << "-1,0,0" << "";
    QTest::newRow("two numbers") << "1,2" << "";
    QTest::newRow("five numbers") << "1 2 3 4 5" << "";
    QTest::newRow("five hex digits") << "#12345" << "";
    QTest::newRow("seven hex digits") << "1234567" << "";
    QTest::newRow("not hex") << "#abcdeg" << "";
    QTest::newRow("signed hex") << "+FFFFF" << "";
    QTest::newRow("two hashes") << "##FFF" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blank") << " \t " << "";
    QTest::newRow("words") << "orange" << "";
}

void TestColorText::userInput()
{
    QFETCH(QString, text);
    QFETCH(QString, hex);
    hex.remove(QLatin1Char(' '));
    const std::optional<QColor> color = colorFromUserInput(text);
    QCOMPARE(color.has_value(), !hex.isEmpty());
    if (color)
        QCOMPARE(hexString(*color), hex);
}

void TestColorText::smallNumbersAreComponentsNotFractions()
{
    const std::optional<QColor> grey = colorFromUserInput(QStringLiteral("0.5,0.5,0.5"));
    QVERIFY(grey);
    QVERIFY(qAbs(grey->redF() - 0.5 / 255) < 1e-4);
    QVERIFY(qAbs(grey->blueF() - 0.5 / 255) < 1e-4);
    QCOMPARE(grey->alphaF(), 1.0f);

    const std::optional<QColor> translucent = colorFromUserInput(QStringLiteral("10,20,30,128"));
    QVERIFY(translucent);
    QVERIFY(qAbs(translucent->alphaF() - 128.0 / 255) < 1e-4);
}

void TestColorText::hexStringFormat_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("hex");
    QTest::newRow("opaque red") << QColor::fromRgbF(1, 0, 0) << "#FF0000";
    QTest::newRow("half-opaque white") << QColor::fromRgbF(1, 1, 1, 0.5f) << "#FFFFFF80";
    QTest::newRow("almost opaque") << QColor(1, 2, 3, 254) << "#010203FE";
    QTest::newRow("rounds to nearest") << QColor::fromRgbF(0.5f, 0.1f, 0.998f) << "#801AFE";
    QTest::newRow("from HSV") << QColor::fromHsv(120, 255, 255) << "#00FF00";
    QTest::newRow("from CMYK") << QColor::fromCmyk(0, 255, 255, 0) << "#FF0000";
    QTest::newRow("wide gamut clamps") << QColor::fromRgbF(1.5f, -0.2f, 0) << "#FF0000";
}

void TestColorText::hexStringFormat()
{
    QFETCH(QColor, color);
    QFETCH(QString, hex);
    QCOMPARE(hexString(color), hex);
}

QTEST_MAIN(TestColorText)
#include "test_colortext.moc"
