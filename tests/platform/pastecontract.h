// SPDX-License-Identifier: MIT
#pragma once
// Pasting back into the application in front, whatever the display server: the paste keystroke
// typed into kiwano-test-pastewindow, and the application in front named by its desktop file.
// Each display's suite inherits these tests with its own keyboard and window names.
#include "platform/frontapp.h"
#include "platform/keysender.h"
#include "platform/testprograms.h"
#include "platform/xdgsandbox.h"

#include <QTest>

#include <memory>

class PasteContract : public QObject
{
    Q_OBJECT

protected:
    // Why this display cannot be tested here; empty when it can.
    virtual QString skipReason() const { return {}; }
    virtual bool copy(const QString &text) = 0;
    // Starts the paste window in front with these arguments.
    virtual bool startWindow(TestProgram &window, const QStringList &arguments) = 0;
    // The window arguments that name its application as this display does (WM_CLASS, app_id).
    virtual QStringList named(const QString &name) const = 0;
    virtual std::unique_ptr<KeySender> sender() = 0;
    virtual std::unique_ptr<FrontApp> frontApp() = 0;
    // Set up a situation of pastesIntoTheFocusedWindow that only this display has; false when
    // it cannot be made here.
    virtual bool arrange(const QString &situation) { return situation.isEmpty(); }
    // Rows of pastesIntoTheFocusedWindow and namesTheApplicationInFront that only this display has.
    virtual void morePastes() {}
    virtual void moreNames() {}

private slots:
    void init()
    {
        if (const QString why = skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void pastesIntoTheFocusedWindow_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("situation");
        QTest::newRow("editor") << false << QString();
        QTest::newRow("terminal") << true << QString();
        morePastes();
    }
    void pastesIntoTheFocusedWindow()
    {
        QFETCH(bool, terminal);
        QFETCH(QString, situation);
        QVERIFY(copy(QStringLiteral("Kiwi ü 🥝")));
        TestProgram window;
        QVERIFY(startWindow(window, terminal ? QStringList{"--terminal"} : QStringList()));
        if (!arrange(situation))
            QSKIP("the situation cannot be made here");
        // A keyboard of its own, made just now: its first keys must not be lost.
        const auto keys = sender();
        QVERIFY(keys->sendPaste(terminal));
        QCOMPARE(window.waitForLine(QStringLiteral("key ")),
                 terminal ? QStringLiteral("key ctrl+shift+v") : QStringLiteral("key ctrl+v"));
        QCOMPARE(window.waitForLine(QStringLiteral("text ")), QStringLiteral("text Kiwi ü 🥝"));
    }

    void namesTheApplicationInFront_data()
    {
        QTest::addColumn<QString>("name"); // the window's application as the display knows it
        QTest::addColumn<QStringList>("desktopFiles"); // each: its file name, then its lines, split by |
        QTest::addColumn<QString>("expected");
        const QString runsProbe = "Exec=\"" + TestProgram::pasteWindowPath() + "\" %U";
        QTest::newRow("no desktop file: its own name") << "kiwano-probe" << QStringList() << "kiwano-probe";
        QTest::newRow("by StartupWMClass")
            << "kiwano-probe" << QStringList{"probe-launcher.desktop|Name=Probe|Exec=probe|StartupWMClass=kiwano-probe"}
            << "probe-launcher";
        QTest::newRow("by the program it runs") << "kiwano-probe" << QStringList{"pasteprobe.desktop|Name=Probe|" + runsProbe}
                                                << "pasteprobe";
        QTest::newRow("another program: its own name")
            << "kiwano-probe" << QStringList{"shell.desktop|Name=Shell|Exec=/bin/sh"} << "kiwano-probe";
        moreNames();
    }
    void namesTheApplicationInFront()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, desktopFiles);
        QFETCH(QString, expected);
        XdgSandbox sandbox;
        for (const QString &file : desktopFiles)
            sandbox.addDesktopFile(file.section(u'|', 0, 0), QStringList{"Type=Application"} + file.section(u'|', 1).split(u'|'), true);
        TestProgram window;
        QVERIFY(startWindow(window, named(name)));
        QTRY_COMPARE(frontApp()->identifier(), expected);
    }
};
