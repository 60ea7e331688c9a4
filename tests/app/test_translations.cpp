// SPDX-License-Identifier: MIT
// The German and French catalogues: complete, faithful to their sources' placeholders, drawable
// in the pixel font, compiled in, and what a user whose LANG is German sees.
#include "annotation/tool.h"
#include "app/translations.h"
#include "editor/model/zogquote.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QStringList translations; // one, or one per plural form
    bool unfinished = false;
};

struct Catalogue
{
    QString language;
    QList<Message> messages;
    QString error;
};

Catalogue read(const QString &path)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        catalogue.error = file.errorString();
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"TS") {
            catalogue.language = xml.attributes().value(QStringLiteral("language")).toString();
        } else if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            message = Message{context, {}, {}, false};
        } else if (name == u"source") {
            message.source = xml.readElementText();
        } else if (name == u"translation") {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            // Unfinished, and also vanished or obsolete: lupdate's leftovers of texts gone from the code.
            message.unfinished = !type.isEmpty();
            // Plain text, or one numerusform element per plural form.
            QString text;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isCharacters())
                    text += xml.text();
                else if (xml.isStartElement() && xml.name() == u"numerusform")
                    message.translations << xml.readElementText();
                else if (xml.isEndElement() && xml.name() == u"translation")
                    break;
            }
            if (message.translations.isEmpty())
                message.translations << text;
            catalogue.messages << message;
        }
    }
    if (xml.hasError())
        catalogue.error = xml.errorString();
    return catalogue;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?(\\d{1,2}|n)"));
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured(0).remove(u'L');
    found.sort();
    return found;
}

// "&Save" marks S as the accelerator; "&&" is a plain ampersand and "& " a word.
int accelerators(QString text)
{
    text.remove(QStringLiteral("&&"));
    static const QRegularExpression pattern(QStringLiteral("&[^\\s&]"));
    return int(text.count(pattern));
}

QString edges(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*")), trailing(QStringLiteral("\\s*$"));
    return leading.match(text).captured(0) + u'|' + trailing.match(text).captured(0);
}

// The plural forms each language's rules ask for (Qt's: one, other).
int pluralForms(const QString &language)
{
    return language == u"de" || language == u"fr" ? 2 : -1;
}

void removeTranslators()
{
    for (QTranslator *translator : qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

QStringList missingLetters(const QString &text, const QString &source, const QRawFont &font)
{
    QStringList missing;
    for (const char32_t c : text.toUcs4())
        if (!source.toUcs4().contains(c) && !font.supportsCharacter(c))
            missing << QString::fromUcs4(&c, 1);
    return missing;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyEntryIsTranslatedFaithfully_data();
    void everyEntryIsTranslatedFaithfully();
    void theSessionLanguageIsFollowed();
    void captureHintsAreTranslated_data();
    void captureHintsAreTranslated();
    void quotesMatchTheEnglishOnes_data();
    void quotesMatchTheEnglishOnes();

private:
    QTemporaryDir m_home;
    QString m_startLanguage;
};

void TestTranslations::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    // main() set LANG=de_DE.UTF-8 before the application existed, as a German session does.
    m_startLanguage = Translations::install(*qApp);
}

void TestTranslations::cleanup()
{
    removeTranslators();
}

void TestTranslations::everyEntryIsTranslatedFaithfully_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(KIWANO_TRANSLATIONS_DIR));
    const QStringList files = folder.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 2);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << folder.filePath(file);
}

void TestTranslations::everyEntryIsTranslatedFaithfully()
{
    QFETCH(QString, path);
    const Catalogue catalogue = read(path);
    QVERIFY2(catalogue.error.isEmpty(), qPrintable(catalogue.error));
    QVERIFY(catalogue.messages.size() > 200);
    QVERIFY2(pluralForms(catalogue.language) > 0, qPrintable(catalogue.language));

    // Letters the translations bring in (ä, ß, é, ç, « ») must be in the pixel font itself: a
    // fallback face would draw them smooth among pixels. Symbols the English has too are not asked.
    const QRawFont font(QStringLiteral(":/Fonts/Minecraft.ttf"), 16);
    QVERIFY(font.isValid());
    QStringList faults;
    for (const Message &m : catalogue.messages) {
        const QString where = m.context + QStringLiteral(" \"") + m.source + u'"';
        if (m.unfinished)
            faults << where + QStringLiteral(": unfinished or left over");
        const bool numerus = m.source.contains(QStringLiteral("%n"));
        if (numerus && m.translations.size() != pluralForms(catalogue.language))
            faults << where + QStringLiteral(": %1 plural forms").arg(m.translations.size());
        for (const QString &translation : m.translations) {
            if (translation.trimmed().isEmpty())
                faults << where + QStringLiteral(": empty");
            else if (placeholders(translation) != placeholders(m.source))
                faults << where + QStringLiteral(": placeholders ") + placeholders(translation).join(u' ');
            else if (accelerators(translation) != accelerators(m.source))
                faults << where + QStringLiteral(": accelerators in \"") + translation + u'"';
            else if (edges(translation) != edges(m.source))
                faults << where + QStringLiteral(": leading or trailing spaces differ");
            else if (const QStringList missing = missingLetters(translation, m.source, font); !missing.isEmpty())
                faults << where + QStringLiteral(": not in the pixel font: ") + missing.join(QString());
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

// LANG=de_DE.UTF-8 at start gives German; a language without a catalogue shows the English source.
void TestTranslations::theSessionLanguageIsFollowed()
{
    QCOMPARE(m_startLanguage, QStringLiteral("de"));
    QCOMPARE(Translations::install(*qApp), QStringLiteral("de"));
    QCOMPARE(label(Tool::rect), QStringLiteral("Rahmen"));
    removeTranslators();
    QCOMPARE(Translations::install(*qApp, QLocale(QLocale::Portuguese, QLocale::Brazil)), QString());
    QCOMPARE(label(Tool::rect), QStringLiteral("Box"));
}

void TestTranslations::captureHintsAreTranslated_data()
{
    quotesMatchTheEnglishOnes_data();
}

// The capture tool is a program of its own; its overlay's hints come from the same catalogue.
void TestTranslations::captureHintsAreTranslated()
{
    QFETCH(QString, language);
    QFile file(QStringLiteral(KIWANO_CAPTURE_OVERLAY_SOURCE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(file.readAll());
    QStringList hints;
    for (const auto &match : QRegularExpression(QStringLiteral("tr\\(\"([^\"]+)\"\\)")).globalMatch(source))
        hints << match.captured(1);
    QVERIFY(hints.size() >= 5);

    removeTranslators();
    QCOMPARE(Translations::install(*qApp, QLocale(language)), language);
    QStringList untranslated;
    for (const QString &hint : hints)
        if (QCoreApplication::translate("SelectionOverlay", hint.toUtf8().constData()) == hint)
            untranslated << hint;
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
}

void TestTranslations::quotesMatchTheEnglishOnes_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : Translations::available())
        QTest::newRow(qPrintable(language)) << language;
}

// A grab keeps its quote by id: each language has the English quotes' ids in their order, with as
// many setup lines, every text filled in and drawable in the card's pixel font.
void TestTranslations::quotesMatchTheEnglishOnes()
{
    QFETCH(QString, language);
    const QList<ZogQuote> english = ZogQuote::load(ZogQuote::path({}));
    const QList<ZogQuote> own = ZogQuote::load(ZogQuote::path(language));
    QVERIFY(english.size() >= 40);
    QCOMPARE(own.size(), english.size());
    const QRawFont font(QStringLiteral(":/Fonts/Minecraft.ttf"), 16);
    QStringList faults;
    for (qsizetype i = 0; i < own.size(); ++i) {
        const ZogQuote &mine = own.at(i);
        const ZogQuote &theirs = english.at(i);
        const QString where = QStringLiteral("quote %1: ").arg(theirs.id);
        if (mine.id != theirs.id)
            faults << where + QStringLiteral("id %1").arg(mine.id);
        if (mine.quote.trimmed().isEmpty() || mine.quote == theirs.quote)
            faults << where + QStringLiteral("empty or untranslated");
        if (mine.setupLines().size() != theirs.setupLines().size())
            faults << where + QStringLiteral("%1 setup lines").arg(mine.setupLines().size());
        for (const QString &line : mine.setupLines())
            if (line.trimmed().isEmpty())
                faults << where + QStringLiteral("empty setup line");
        const QString text = mine.setup.value_or(QString()) + mine.quote;
        const QStringList missing = missingLetters(text, theirs.setup.value_or(QString()) + theirs.quote, font);
        if (!missing.isEmpty())
            faults << where + QStringLiteral("not in the pixel font: ") + missing.join(QString());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

KIWANO_TEST_OWN_MAIN(int argc, char *argv[])
{
    // The user's session: German, nothing overriding it.
    qputenv("LANG", "de_DE.UTF-8");
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        qunsetenv(name);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_translations.moc"
