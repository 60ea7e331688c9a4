// SPDX-License-Identifier: MIT
#include "annotation/stylecoding.h"
#include "annotation/tooldefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

Q_DECLARE_METATYPE(Style)

namespace {

Style everyFieldChanged()
{
    Style style;
    style.color = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f);
    style.width = 3.5;
    style.font = TextFont::chalk;
    style.fontSize = 31;
    style.outlineWidth = 7;
    style.outlineColor = QColor::fromRgbF(0, 0, 0);
    style.dim = 0.25;
    style.fillColor = QColor::fromRgbF(1, 0.5f, 0, 0.75f);
    style.cornerRadius = 2;
    style.blurBlock = 24;
    style.markSize = 0.45;
    style.opacity = 0.5;
    return style;
}

QJsonObject storedObject(const Style &style)
{
    return QJsonDocument::fromJson(StyleCoding::encode(style).value_or(QByteArray())).object();
}

} // namespace

class TestToolDefaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultStyleAndEquality();
    void encodeDecodeRoundTrip_data();
    void encodeDecodeRoundTrip();
    void noFillLeavesTheKeyOut();
    void lenientDecoding_data();
    void lenientDecoding();
    void notAnObjectIsNoStyle_data();
    void notAnObjectIsNoStyle();
    void builtInFollowsScale();
    void loadFallsBackToBuiltIn();
    void saveStoresBytesUnderTheToolKey();
    void unencodableStyleKeepsPreviousDefault();
    void defaultStoreIsTheApplicationsIniFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
};

void TestToolDefaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("prefs.ini")),
                                             QSettings::IniFormat);
}

void TestToolDefaults::cleanup()
{
    m_settings.reset();
    m_dir.reset();
}

void TestToolDefaults::defaultStyleAndEquality()
{
    const Style style;
    QCOMPARE(style.color, QColor::fromRgbF(0.9f, 0.15f, 0.15f));
    QVERIFY(!style.fillColor);

    Style other;
    other.outlineColor = QColor::fromHsvF(0, 0, 1); // the same white, another colour model
    QVERIFY(other == style);
    other.fillColor = QColor(Qt::white);
    QVERIFY(!(other == style));
    Style filled = style;
    filled.fillColor = QColor::fromHslF(0, 0, 1);
    QVERIFY(other == filled);
    other.opacity = 0.8;
    QVERIFY(!(other == filled));
}

void TestToolDefaults::encodeDecodeRoundTrip_data()
{
    QTest::addColumn<Style>("style");
    QTest::newRow("default") << Style();
    QTest::newRow("every field changed") << everyFieldChanged();
    Style hsv;
    hsv.color = QColor::fromHsv(200, 128, 64, 200);
    hsv.font = TextFont::pixel;
    QTest::newRow("colour from another model") << hsv;
    Style wide;
    wide.color = QColor::fromRgbF(1.2f, -0.1f, 0.5f);
    QTest::newRow("wide-gamut colour") << wide;
}

void TestToolDefaults::encodeDecodeRoundTrip()
{
    QFETCH(Style, style);
    const std::optional<QByteArray> json = StyleCoding::encode(style);
    QVERIFY(json);
    QVERIFY(!json->contains('\n'));
    const std::optional<Style> decoded = StyleCoding::decode(*json);
    QVERIFY(decoded);
    QVERIFY(*decoded == style);
}

void TestToolDefaults::noFillLeavesTheKeyOut()
{
    const QJsonObject plain = storedObject(Style());
    QVERIFY(!plain.contains(QStringLiteral("fillColor")));
    QCOMPARE(plain.size(), 11);
    QCOMPARE(plain.value(QStringLiteral("font")).toString(), QStringLiteral("system"));
    const QJsonObject color = plain.value(QStringLiteral("color")).toObject();
    QCOMPARE(color.keys(), (QStringList{"a", "b", "g", "r"}));
    QCOMPARE(color.value(QStringLiteral("a")).toDouble(), 1.0);

    const QJsonObject filled = storedObject(everyFieldChanged());
    QCOMPARE(filled.size(), 12);
    QVERIFY(filled.value(QStringLiteral("fillColor")).isObject());

    ToolDefaults::save(Style(), Tool::rect, *m_settings);
    QVERIFY(!ToolDefaults::load(Tool::rect, 1, *m_settings).fillColor);
}

void TestToolDefaults::lenientDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<Style>("expected");

    QTest::newRow("empty object is the default style") << QByteArray("{}") << Style();
    // The stored defaults of earlier versions must keep meaning the default style.
    QTest::newRow("the default style written out")
        << QByteArray(R"({"color":{"r":0.9,"g":0.15,"b":0.15,"a":1},"width":8,"font":"system",)"
                      R"("fontSize":56,"outlineWidth":3,"outlineColor":{"r":1,"g":1,"b":1,"a":1},)"
                      R"("dim":0.6,"cornerRadius":8,"blurBlock":16,"markSize":0.3,"opacity":0.9})")
        << Style();
    Style wide;
    wide.width = 12;
    QTest::newRow("one field") << QByteArray(R"({"width":12})") << wide;
    QTest::newRow("number as text takes the default")
        << QByteArray(R"({"width":"12","dim":true,"opacity":null})") << Style();
    Style allButFont = everyFieldChanged();
    allButFont.font = TextFont::system;
    QJsonObject unknownFont = storedObject(everyFieldChanged());
    unknownFont.insert(QStringLiteral("font"), QStringLiteral("comic"));
    QTest::newRow("unknown font, other fields as stored")
        << QJsonDocument(unknownFont).toJson(QJsonDocument::Compact) << allButFont;
    QTest::newRow("font not a string") << QByteArray(R"({"font":3})") << Style();
    QTest::newRow("colour missing a component")
        << QByteArray(R"({"color":{"r":0,"g":0,"b":1},"outlineColor":{"r":0,"g":0,"b":0,"a":"1"}})")
        << Style();
    Style filled;
    filled.fillColor = QColor::fromRgbF(0, 0, 1, 0.5f);
    QTest::newRow("fill colour") << QByteArray(R"({"fillColor":{"r":0,"g":0,"b":1,"a":0.5}})") << filled;
    QTest::newRow("broken fill colour is no fill") << QByteArray(R"({"fillColor":[0,0,1,1]})") << Style();
    Style integers;
    integers.blurBlock = 4;
    integers.color = QColor::fromRgbF(1, 0, 0);
    QTest::newRow("integers are numbers too")
        << QByteArray(R"({"blurBlock":4,"color":{"r":1,"g":0,"b":0,"a":1},"extra":"ignored"})") << integers;
}

void TestToolDefaults::lenientDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(Style, expected);
    const std::optional<Style> decoded = StyleCoding::decode(json);
    QVERIFY(decoded);
    QVERIFY(*decoded == expected);
}

void TestToolDefaults::notAnObjectIsNoStyle_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("width: 8");
    QTest::newRow("truncated") << QByteArray(R"({"width":8)");
    QTest::newRow("array") << QByteArray("[1,2,3]");
    QTest::newRow("string") << QByteArray(R"("style")");
    QTest::newRow("number") << QByteArray("8");
}

void TestToolDefaults::notAnObjectIsNoStyle()
{
    QFETCH(QByteArray, json);
    QVERIFY(!StyleCoding::decode(json));
    m_settings->setValue(ToolDefaults::key(Tool::pen), json);
    QVERIFY(ToolDefaults::load(Tool::pen, 2, *m_settings) == ToolDefaults::builtIn(Tool::pen, 2));
}

void TestToolDefaults::builtInFollowsScale()
{
    const Style pen = ToolDefaults::builtIn(Tool::pen, 2);
    QCOMPARE(pen.width, 8.0);
    QCOMPARE(pen.fontSize, 56.0);
    QCOMPARE(pen.cornerRadius, 8.0);
    QCOMPARE(pen.blurBlock, 16.0);
    QCOMPARE(pen.opacity, 0.9);
    QCOMPARE(pen.markSize, Style().markSize);
    QVERIFY(!pen.fillColor);

    const Style picture = ToolDefaults::builtIn(Tool::picture, 1);
    QCOMPARE(picture.opacity, 1.0);
    QCOMPARE(picture.width, 4.0);
    QCOMPARE(ToolDefaults::builtIn(Tool::watermark, 1).opacity, 0.9);
}

void TestToolDefaults::loadFallsBackToBuiltIn()
{
    QVERIFY(ToolDefaults::load(Tool::arrow, 1.5, *m_settings) == ToolDefaults::builtIn(Tool::arrow, 1.5));

    // Text is not a stored style even when it reads as JSON.
    m_settings->setValue(ToolDefaults::key(Tool::arrow), QStringLiteral(R"({"width":3})"));
    QVERIFY(ToolDefaults::load(Tool::arrow, 1, *m_settings) == ToolDefaults::builtIn(Tool::arrow, 1));
    m_settings->setValue(ToolDefaults::key(Tool::arrow), 42);
    QVERIFY(ToolDefaults::load(Tool::arrow, 1, *m_settings) == ToolDefaults::builtIn(Tool::arrow, 1));

    // A partly valid object keeps its fields; the rest comes from the plain default style.
    m_settings->setValue(ToolDefaults::key(Tool::arrow), QByteArray(R"({"width":3,"dim":"x"})"));
    Style expected;
    expected.width = 3;
    QVERIFY(ToolDefaults::load(Tool::arrow, 2, *m_settings) == expected);
}

void TestToolDefaults::saveStoresBytesUnderTheToolKey()
{
    QCOMPARE(ToolDefaults::key(Tool::pen), QStringLiteral("toolDefault.pen"));
    const Style style = everyFieldChanged();
    ToolDefaults::save(style, Tool::highlighter, *m_settings);
    m_settings->sync();

    // Read back through a fresh store to be sure it reached the file.
    QSettings reread(m_settings->fileName(), QSettings::IniFormat);
    const QVariant stored = reread.value(QStringLiteral("toolDefault.highlighter"));
    QCOMPARE(stored.typeId(), int(QMetaType::QByteArray));
    QVERIFY(StyleCoding::decode(stored.toByteArray()) == style);
    QVERIFY(ToolDefaults::load(Tool::highlighter, 1, reread) == style);
    QVERIFY(ToolDefaults::load(Tool::pen, 1, reread) == ToolDefaults::builtIn(Tool::pen, 1));
}

void TestToolDefaults::unencodableStyleKeepsPreviousDefault()
{
    const Style good = everyFieldChanged();
    ToolDefaults::save(good, Tool::text, *m_settings);

    Style broken = good;
    broken.fontSize = std::numeric_limits<qreal>::infinity();
    QVERIFY(!StyleCoding::encode(broken));
    ToolDefaults::save(broken, Tool::text, *m_settings);
    QVERIFY(ToolDefaults::load(Tool::text, 1, *m_settings) == good);

    broken = good;
    broken.opacity = std::numeric_limits<qreal>::quiet_NaN();
    ToolDefaults::save(broken, Tool::text, *m_settings);
    QVERIFY(ToolDefaults::load(Tool::text, 1, *m_settings) == good);
}

void TestToolDefaults::defaultStoreIsTheApplicationsIniFile()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->path());
    const Style style = everyFieldChanged();
    ToolDefaults::save(style, Tool::blur);
    QVERIFY(ToolDefaults::load(Tool::blur, 1) == style);

    QSettings file(m_dir->filePath(QStringLiteral("KiwanoSnapper/KiwanoSnapper.ini")), QSettings::IniFormat);
    QVERIFY(file.contains(QStringLiteral("toolDefault.blur")));
}

QTEST_MAIN(TestToolDefaults)
#include "test_tooldefaults.moc"
