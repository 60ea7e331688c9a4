// SPDX-License-Identifier: MIT
#include "annotation/colortext.h"
#include "annotation/stylecoding.h"
#include "annotation/tooldefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <limits>

namespace {

Style everyFieldChanged()
{
    Style style;
    style.color = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), style.width = 3.5, style.font = TextFont::chalk;
    style.fontSize = 31, style.outlineWidth = 7, style.outlineColor = QColor::fromRgbF(0, 0, 0), style.dim = 0.25;
    style.fillColor = QColor::fromRgbF(1, 0.5f, 0, 0.75f), style.cornerRadius = 2, style.blurBlock = 24;
    style.markSize = 0.45, style.opacity = 0.5, style.blurMode = BlurMode::solid;
    return style;
}

} // namespace

class TestToolDefaults : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip()
    {
        Style otherModels;
        otherModels.color = QColor::fromHsv(200, 128, 64, 200);
        otherModels.outlineColor = QColor::fromRgbF(1.2f, -0.1f, 0.5f);
        for (const Style &style : {Style(), everyFieldChanged(), otherModels}) {
            const std::optional<QByteArray> json = StyleCoding::encode(style);
            QVERIFY(json && !json->contains('\n'));
            QCOMPARE(QJsonDocument::fromJson(*json).object().contains(QStringLiteral("fillColor")),
                     style.fillColor.has_value());
            QVERIFY(StyleCoding::decode(*json) == style);
        }
    }

    void lenientDecoding_data()
    {
        QTest::addColumn<QByteArray>("json"); QTest::addColumn<std::optional<Style>>("expected");

        QTest::newRow("empty object is the default style") << QByteArray("{}") << std::optional(Style());
        // The stored defaults of earlier versions must keep meaning the default style.
        QTest::newRow("the default style written out")
            << QByteArray(R"({"color":{"r":0.9,"g":0.15,"b":0.15,"a":1},"width":8,"font":"system",)"
                          R"("fontSize":56,"outlineWidth":3,"outlineColor":{"r":1,"g":1,"b":1,"a":1},)"
                          R"("dim":0.6,"cornerRadius":8,"blurBlock":16,"markSize":0.3,"opacity":0.9})")
            << std::optional(Style());
        Style wide;
        wide.width = 12;
        QTest::newRow("a good field among bad ones")
            << QByteArray(R"({"width":12,"dim":"0.5","opacity":null,"font":"comic","extra":1})") << std::optional(wide);
        QTest::newRow("colour missing a component, broken fill")
            << QByteArray(R"({"color":{"r":0,"g":0,"b":1},"fillColor":[0,0,1,1]})") << std::optional(Style());
        Style filled;
        filled.fillColor = QColor::fromRgbF(0, 0, 1, 0.5f);
        QTest::newRow("fill colour") << QByteArray(R"({"fillColor":{"r":0,"g":0,"b":1,"a":0.5}})")
                                     << std::optional(filled);
        Style opaque, clear;
        opaque.color = QColor::fromRgbF(0, 0, 1, 1), clear.color = QColor::fromRgbF(0, 0, 1, 0);
        QTest::newRow("alpha above 1") << QByteArray(R"({"color":{"r":0,"g":0,"b":1,"a":1.5}})")
                                       << std::optional(opaque);
        QTest::newRow("alpha below 0") << QByteArray(R"({"color":{"r":0,"g":0,"b":1,"a":-2}})")
                                       << std::optional(clear);
        // Hand edits far outside what the properties panel offers: the pen would take forever
        // to draw, a block of 0 would divide by zero.
        QTest::newRow("out of range")
            << QByteArray(R"({"width":1e308,"blurBlock":0,"opacity":5,"fontSize":-3,"dim":2,"markSize":0})")
            << std::optional(Style());
        int row = 0;
        for (const char *bad : {"", "width: 8", R"({"width":8)", "[1,2,3]", "8"})
            QTest::addRow("not an object %d", ++row) << QByteArray(bad) << std::optional<Style>();
    }

    void lenientDecoding()
    {
        QFETCH(QByteArray, json); QFETCH(std::optional<Style>, expected);
        QVERIFY(StyleCoding::decode(json) == expected);

        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat);
        settings.setValue(ToolDefaults::key(Tool::pen), json);
        QVERIFY(ToolDefaults::load(Tool::pen, 2, settings) == expected.value_or(ToolDefaults::builtIn(Tool::pen, 2)));
    }

    void storedDefaults()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        const Style good = everyFieldChanged();
        ToolDefaults::save(good, Tool::text);
        QSettings file(dir.filePath(QStringLiteral("KiwanoSnapper/KiwanoSnapper.ini")), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("toolDefault.text")).typeId(), int(QMetaType::QByteArray));
        QVERIFY(ToolDefaults::load(Tool::text, 1, file) == good);
        QVERIFY(ToolDefaults::load(Tool::arrow, 1.5, file) == ToolDefaults::builtIn(Tool::arrow, 1.5));

        // Text is not a stored style even when it reads as JSON.
        file.setValue(ToolDefaults::key(Tool::arrow), QStringLiteral(R"({"width":3})"));
        QVERIFY(ToolDefaults::load(Tool::arrow, 1, file) == ToolDefaults::builtIn(Tool::arrow, 1));

        // A blur saved finer than text stays unreadable through comes back at the smallest size
        // that hides it, in points of the screen; its style is kept.
        Style fine = good;
        fine.blurBlock = 2;
        ToolDefaults::save(fine, Tool::blur, file);
        const Style blur = ToolDefaults::load(Tool::blur, 2, file);
        QCOMPARE(blur.blurBlock, 2.0 * ToolDefaults::smallestBlurBlock);
        QCOMPARE(blur.blurMode, BlurMode::solid);

        // A style that cannot be written keeps the previous default.
        Style broken = good;
        broken.fontSize = std::numeric_limits<qreal>::infinity();
        QVERIFY(!StyleCoding::encode(broken));
        ToolDefaults::save(broken, Tool::text, file);
        QVERIFY(ToolDefaults::load(Tool::text, 1, file) == good);
    }

    void colorFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex"); // empty: no colour
        QTest::newRow("commas and spaces") << "255, 128, 0" << "#FF8000";
        QTest::newRow("short hex lower case, blanks around") << "  #abc\t" << "#AABBCC";
        QTest::newRow("four components") << "10,20,30,128" << "#0A141E80";
        QTest::newRow("unreadable piece dropped") << "255, abc, 0, 0" << "#FF0000";
        QTest::newRow("fractions in range") << "127.5, 0, 255" << "#8000FF";
        QTest::newRow("small numbers are components, not fractions") << "0.5,0.5,0.5" << "#010101";
        for (const char *bad : {"300,0,0", "1,2", "#12345", "#abcdeg", "##FFF", "orange"})
            QTest::newRow(bad) << bad << "";
    }

    void colorFromText()
    {
        QFETCH(QString, text); QFETCH(QString, hex);
        const std::optional<QColor> color = colorFromUserInput(text);
        QCOMPARE(color.has_value(), !hex.isEmpty());
        if (color)
            QCOMPARE(hexString(*color), hex);
        // Written back: alpha only when not opaque, components rounded, out of range clamped.
        QCOMPARE(hexString(QColor(1, 2, 3, 254)), QStringLiteral("#010203FE"));
        QCOMPARE(hexString(QColor::fromRgbF(0.5f, 0.1f, 0.998f)), QStringLiteral("#801AFE"));
        QCOMPARE(hexString(QColor::fromRgbF(1.5f, -0.2f, 0)), QStringLiteral("#FF0000"));
    }
};

KIWANO_TEST_MAIN(TestToolDefaults)
#include "test_tooldefaults.moc"
