// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSvgRenderer>

// Linking kiwano_resources alone must be enough to see the files. (The font and the pictures are
// read by the tests of what uses them; the quotes' loader refuses a file with one bad record.)
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    // Icons are drawn on a 24-pixel grid; another view box would blur them.
    void everyIconIsAnSvgOnTheSameGrid()
    {
        const QStringList icons = QDir(QStringLiteral(":/Icons")).entryList(QDir::Files);
        QVERIFY(icons.size() >= 37);
        for (const QString &file : icons) {
            QSvgRenderer renderer(QStringLiteral(":/Icons/") + file);
            QVERIFY2(file.endsWith(QLatin1String(".svg")) && renderer.isValid(), qPrintable(file));
            QCOMPARE(renderer.viewBox(), QRect(0, 0, 24, 24));
        }
    }

    // Quotes are told apart by their ids; a setup's lines are split at " / " and shown as they
    // are, so none may come out blank.
    void quotesHaveUniqueIdsAndNoBlankLines()
    {
        QFile file(QStringLiteral(":/zog-quotes.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray quotes = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(quotes.size() >= 40);
        QSet<qint64> ids;
        for (const QJsonValue &value : quotes) {
            const QJsonObject record = value.toObject();
            ids.insert(record.value(QLatin1String("id")).toInteger());
            for (const QString &line : record.value(QLatin1String("setup")).toString().split(QStringLiteral(" / ")))
                QVERIFY2(!record.contains(QLatin1String("setup")) || !line.trimmed().isEmpty(), qPrintable(line));
        }
        QCOMPARE(ids.size(), quotes.size());
    }
};

KIWANO_TEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
