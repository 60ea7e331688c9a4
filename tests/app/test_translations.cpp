// SPDX-License-Identifier: MIT
// The German and French catalogues: complete, faithful to their sources' placeholders and
// accelerators, drawable in the pixel font, and covering the capture tool and the quotes.
#include "app/translations.h"
#include "editor/model/zogquote.h"

#include <QDir>
#include <QFile>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString where;
    QString source;
    QStringList translations; // one, or one per plural form
    bool unfinished = false;
};

// The messages of a .ts file; its language in language, or an error there.
QList<Message> read(const QString &path, QString &language)
{
    QList<Message> messages;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"TS") {
            language = xml.attributes().value("language").toString();
        } else if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"source") {
            const QString source = xml.readElementText();
            messages.append({context + " \"" + source + u'"', source, {}, false});
        } else if (name == u"translation" && !messages.isEmpty()) {
            // Unfinished, and also vanished or obsolete: lupdate's leftovers of texts gone from the code.
            messages.last().unfinished = !xml.attributes().value("type").isEmpty();
            if (!messages.last().source.contains(u"%n"))
                messages.last().translations << xml.readElementText();
        } else if (name == u"numerusform" && !messages.isEmpty()) {
            messages.last().translations << xml.readElementText();
        }
    }
    if (xml.hasError() || file.error() != QFileDevice::NoError)
        language = "error: " + xml.errorString() + file.errorString();
    return messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?(\\d{1,2}|n)"));
    QStringList found;
    for (const auto &match : pattern.globalMatch(text))
        found << match.captured(0).remove(u'L');
    found.sort();
    return found;
}

// "&Save" marks S as the accelerator; "&&" is a plain ampersand and "& " a word.
int accelerators(QString text)
{
    static const QRegularExpression pattern(QStringLiteral("&[^\\s&]"));
    return int(text.remove(QStringLiteral("&&")).count(pattern));
}

QString edges(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*")), trailing(QStringLiteral("\\s*$"));
    return leading.match(text).captured(0) + u'|' + trailing.match(text).captured(0);
}

// Letters a text brings in beyond its source's that the pixel font cannot draw: a fallback face
// would draw them smooth among pixels.
QString missingLetters(const QString &text, const QString &source)
{
    static const QRawFont font(QStringLiteral(":/Fonts/Minecraft.ttf"), 16);
    QString missing;
    for (const char32_t c : text.toUcs4())
        if (!source.toUcs4().contains(c) && !font.supportsCharacter(c))
            missing += QString::fromUcs4(&c, 1);
    return missing;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config")))); }

    void everyEntryIsTranslatedFaithfully_data()
    {
        QTest::addColumn<QString>("path");
        const QDir folder(QStringLiteral(KIWANO_TRANSLATIONS_DIR));
        const QStringList files = folder.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 2);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << folder.filePath(file);
    }
    void everyEntryIsTranslatedFaithfully()
    {
        QFETCH(QString, path);
        QString language;
        const QList<Message> messages = read(path, language);
        // Qt's plural rules for German and French have two forms: one, other.
        QVERIFY2(language == u"de" || language == u"fr", qPrintable(language));
        QVERIFY(messages.size() > 200);
        QVERIFY(QRawFont(QStringLiteral(":/Fonts/Minecraft.ttf"), 16).isValid());
        QStringList faults;
        for (const Message &m : messages) {
            if (m.unfinished)
                faults << m.where + ": unfinished or left over";
            if (m.source.contains("%n") && m.translations.size() != 2)
                faults << m.where + QStringLiteral(": %1 plural forms").arg(m.translations.size());
            for (const QString &translation : m.translations) {
                if (translation.trimmed().isEmpty())
                    faults << m.where + ": empty";
                else if (placeholders(translation) != placeholders(m.source))
                    faults << m.where + ": placeholders " + placeholders(translation).join(u' ');
                else if (accelerators(translation) != accelerators(m.source))
                    faults << m.where + ": accelerators in \"" + translation + u'"';
                else if (edges(translation) != edges(m.source))
                    faults << m.where + ": leading or trailing spaces differ";
                else if (const QString missing = missingLetters(translation, m.source); !missing.isEmpty())
                    faults << m.where + ": not in the pixel font: " + missing;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void eachLanguageHasTheCaptureHintsAndTheQuotes_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &language : Translations::available())
            QTest::newRow(qPrintable(language)) << language;
    }
    // The capture tool is a program of its own; its overlay's hints come from the same catalogue.
    // A grab keeps its quote by id: each language has the English quotes' ids in their order, with
    // as many setup lines, every text filled in and drawable in the card's pixel font.
    void eachLanguageHasTheCaptureHintsAndTheQuotes()
    {
        QFETCH(QString, language);
        QFile overlay(QStringLiteral(KIWANO_CAPTURE_OVERLAY_SOURCE));
        QVERIFY(overlay.open(QIODevice::ReadOnly));
        QStringList faults;
        for (QTranslator *translator : qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly))
            QCoreApplication::removeTranslator(translator);
        QCOMPARE(Translations::install(*qApp, QLocale(language)), language);
        int hints = 0;
        for (const auto &hint : QRegularExpression("tr\\(\"([^\"]+)\"\\)").globalMatch(QString::fromUtf8(overlay.readAll()))) {
            ++hints;
            if (QCoreApplication::translate("SelectionOverlay", hint.captured(1).toUtf8().constData()) == hint.captured(1))
                faults << "hint untranslated: " + hint.captured(1);
        }
        QVERIFY(hints >= 5);

        const QList<ZogQuote> english = ZogQuote::load(ZogQuote::path({}));
        const QList<ZogQuote> own = ZogQuote::load(ZogQuote::path(language));
        QVERIFY(english.size() >= 40);
        QCOMPARE(own.size(), english.size());
        for (qsizetype i = 0; i < own.size(); ++i) {
            const ZogQuote &mine = own.at(i), &theirs = english.at(i);
            const QString where = QStringLiteral("quote %1: ").arg(theirs.id);
            if (mine.id != theirs.id)
                faults << where + QStringLiteral("id %1").arg(mine.id);
            if (mine.quote.trimmed().isEmpty() || mine.quote == theirs.quote)
                faults << where + "empty or untranslated";
            if (mine.setupLines().size() != theirs.setupLines().size())
                faults << where + QStringLiteral("%1 setup lines").arg(mine.setupLines().size());
            for (const QString &line : mine.setupLines())
                if (line.trimmed().isEmpty())
                    faults << where + "empty setup line";
            const QString missing = missingLetters(mine.setup.value_or(QString()) + mine.quote,
                                                   theirs.setup.value_or(QString()) + theirs.quote);
            if (!missing.isEmpty())
                faults << where + "not in the pixel font: " + missing;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

KIWANO_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
