// SPDX-License-Identifier: MIT
#pragma once
// What kiwano-capture promises on every display server, driven as a user would: one set of tests
// that each display's suite inherits, with that display's own way of moving the pointer, typing
// and seeing the screen.
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class CaptureContract : public QObject
{
    Q_OBJECT

protected:
    // Starts the tool with these arguments (the output path follows) and, for the interactive
    // modes, waits until its overlay takes input. environment is KEY=VALUE or empty.
    virtual bool start(const QStringList &arguments, const QString &environment = {}) = 0;
    // The pixels the screen shows in rect (or all of it) now, by other means than ours.
    virtual QImage shown(const QRect &rect) = 0;
    virtual QImage shownScreen() = 0;
    // Where the contract's drags start from, so that they land on a pattern.
    virtual QPoint origin() const { return {}; }
    virtual void drag(const QPoint &from, const QPoint &to) = 0;
    virtual void click(const QPoint &at) = 0;
    virtual void press(const QString &key) = 0;
    // Drags only this display has, as rows of dragGivesExactlyTheDraggedPixels.
    virtual void moreDrags() {}

    static QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }
    QString output() const { return m_dir.filePath("grab.png"); }
    bool finishedWith(int exitCode)
    {
        return (m_tool.state() == QProcess::NotRunning || m_tool.waitForFinished(15000)) && m_tool.exitCode() == exitCode;
    }

    // A tool left running by a failed test is stopped, and its grab goes.
    void stopTool()
    {
        if (m_tool.state() != QProcess::NotRunning)
            m_tool.kill(), m_tool.waitForFinished();
        QFile::remove(output());
    }
    // Starts a grab with these arguments (none: the tool runs already); it must end well with
    // what reference shows.
    void grabsAs(const QImage &reference, const QStringList &arguments = {"-m"})
    {
        if (!arguments.isEmpty())
            QVERIFY(start(arguments));
        QVERIFY(finishedWith(0));
        QCOMPARE(opaque(QImage(output())), reference);
    }

    QTemporaryDir m_dir;
    QProcess m_tool;

private slots:
    void cleanup() { stopTool(); }

    void screenGrabIsWhatTheScreenShows() { grabsAs(shownScreen()); }

    void dragGivesExactlyTheDraggedPixels_data()
    {
        QTest::addColumn<QPoint>("from"); QTest::addColumn<QPoint>("to");
        QTest::addColumn<QString>("mode"); QTest::addColumn<QString>("environment");
        QTest::newRow("down right") << QPoint(10, 20) << QPoint(210, 140) << "-i" << QString();
        QTest::newRow("up left") << QPoint(300, 190) << QPoint(1, 3) << "-i" << QString();
        QTest::newRow("one pixel") << QPoint(50, 60) << QPoint(51, 61) << "-i" << QString();
        moreDrags();
    }
    void dragGivesExactlyTheDraggedPixels()
    {
        QFETCH(QPoint, from); QFETCH(QPoint, to); QFETCH(QString, mode); QFETCH(QString, environment);
        // A drag of n pixels covers n pixels, whichever way it goes. Looked at first: once the
        // overlay has been on screen, a compositor may need a moment to show what is under it.
        const QRect dragged(std::min(from.x(), to.x()), std::min(from.y(), to.y()),
                            std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
        const QImage reference = shown(dragged.translated(origin()));
        QVERIFY(start({mode}, environment));
        drag(origin() + from, origin() + to);
        grabsAs(reference, {});
    }

    void escapeWritesNothing()
    {
        QVERIFY(start({"-i"}));
        // A click without a drag picks nothing and must not end the selection.
        click(origin() + QPoint(5, 5));
        QVERIFY(!m_tool.waitForFinished(200));
        press("Escape");
        QVERIFY(finishedWith(1));
        QVERIFY(!QFileInfo::exists(output()));
    }
};
