// SPDX-License-Identifier: MIT
// The clipboard history over the real X clipboard, with other processes as the applications that
// copy and read.
#include "clipboardcontract.h"

#include "platform/testprograms.h"
#include "platform/x11/x11clipboardservice.h"
#include "platform/x11/x11frontapp.h"
#include "platform/xdgsandbox.h"

#include <QGuiApplication>
#include <QProcess>

class TestClipboardX11 : public ClipboardContract
{
    Q_OBJECT

protected:
    QString skipReason() override
    {
        return QGuiApplication::platformName() == QLatin1String("xcb") ? QString() : QStringLiteral("needs an X server");
    }
    std::unique_ptr<ClipboardService> makeService() override { return std::make_unique<X11ClipboardService>(); }
    FrontApp *frontApp() override { return &m_frontApp; }
    bool startCopying(const QStringList &arguments) override
    {
        m_owner.stop();
        return m_owner.start(TestProgram::clipOwnerPath(), arguments);
    }
    void stopCopying() override { m_owner.stop(); }
    // Without the targets every X clipboard owner answers.
    QStringList typesElsewhere() override
    {
        QStringList targets;
        for (const QByteArray &line : readElsewhere("TARGETS").split('\n'))
            if (!line.isEmpty() && !QByteArrayList{"TARGETS", "TIMESTAMP", "MULTIPLE", "SAVE_TARGETS"}.contains(line))
                targets.append(QString::fromUtf8(line));
        return targets;
    }
    QByteArray readElsewhere(const QString &type) override
    {
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-o", "-t", type});
        return xclip.waitForFinished(5000) ? xclip.readAllStandardOutput() : QByteArray();
    }

private slots:
    void recordsAndCopiesBack_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("offered");
        const QString marker = "local.kiwano-snapper.clip";
        QTest::newRow("text") << QStringList{"--type", "text/plain=hello", "--type", "UTF8_STRING=hello"}
                              << QStringList{"text/plain"} << "hello" << QStringList{"text/plain", marker, "UTF8_STRING"};
        QTest::newRow("styled text")
            << QStringList{"--type", "text/plain=styled", "--type", "text/html=<b>styled</b>", "--type",
                           "text/rtf={\\rtf1 styled}", "--type", "TEXT=styled"}
            << QStringList{"text/plain", "text/rtf", "text/html"} << "styled"
            << QStringList{"text/plain", "text/rtf", "text/html", marker, "UTF8_STRING"};
        QTest::newRow("html") << QStringList{"--type", "text/html=<p>Hello</p>\n<p>World</p>"}
                              << QStringList{"text/html"} << "Hello World" << QStringList{"text/html", marker};
        // File managers that paste files only from the GNOME form get it beside the list.
        QTest::newRow("files") << QStringList{"--type", "text/uri-list=file:///tmp/a.txt\r\nfile:///tmp/b%20c.pdf\r\n"}
                               << QStringList{"text/uri-list"} << "a.txt, b c.pdf"
                               << QStringList{"text/uri-list", "x-special/gnome-copied-files", marker};
        QTest::newRow("tiff only") << QStringList{"--type-file", "image/tiff=<home>/copied.tiff"}
                                   << QStringList{"image/png"} << "Image 64 \u00D7 32" << QStringList{"image/png", marker};
        QTest::newRow("secret password hint")
            << QStringList{"--type", "x-kde-passwordManagerHint=secret", "--type", "text/plain=pw"} << QStringList{}
            << QString() << QStringList{};
    }

    void equalTextUnderAnotherTypeIsOneEntry()
    {
        // XWayland re-offers a Wayland copy under the X names, one owner after the other.
        const QList<QStringList> owners{
            {"--type", "UTF8_STRING=same words", "--type", "text/plain;charset=utf-8=same words"},
            {"--type", "UTF8_STRING=same words"},
            {"--type", "text/plain;charset=utf-8=same words"},
            {"--type", "text/plain=same words", "--type", "text/plain;charset=utf-8=same words"},
        };
        for (const QStringList &owner : owners)
            QVERIFY(copyElsewhere(owner));
        QCOMPARE(m_clipboard->items().size(), 1);
        QCOMPARE(m_clipboard->items().first().copies, 4);
        QCOMPARE(m_clipboard->items().first().title, "same words");
        // Other words under the same type are still another entry.
        QVERIFY(copyElsewhere({"--type", "UTF8_STRING=other words"}));
        QCOMPARE(m_clipboard->items().size(), 2);
    }

private:
    XdgSandbox m_sandbox;
    X11FrontApp m_frontApp;
    TestProgram m_owner;
};

KIWANO_TEST_MAIN(TestClipboardX11)
#include "test_clipboardx11.moc"
