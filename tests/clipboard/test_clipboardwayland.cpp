// SPDX-License-Identifier: MIT
// The clipboard history over the real Wayland clipboard (data-control, under the test compositor),
// with other clients as the applications that copy and read.
#include "clipboardcontract.h"

#include "platform/wayland/waylandclipboardservice.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/waylandsession.h"

#include <QProcess>

class TestClipboardWayland : public ClipboardContract
{
    Q_OBJECT

protected:
    QString skipReason() override { return WaylandSession::skipReason(); }
    std::unique_ptr<ClipboardService> makeService() override
    {
        auto service = std::make_unique<WaylandClipboardService>(WaylandSession::display());
        return service->isValid() ? std::move(service) : nullptr;
    }
    bool watching() override { return static_cast<WaylandClipboardWatcher *>(m_service->watcher())->isReady(); }
    bool startCopying(const QStringList &arguments) override
    {
        stopCopying();
        m_source.setProcessEnvironment(WaylandSession::environment());
        m_source.start(QStringLiteral(WLSOURCE_PATH), arguments);
        return m_source.waitForStarted();
    }
    void stopCopying() override
    {
        m_source.kill();
        m_source.waitForFinished();
    }
    QStringList typesElsewhere() override
    {
        return QString::fromUtf8(paste({"--list-types"})).split('\n', Qt::SkipEmptyParts);
    }
    QByteArray readElsewhere(const QString &type) override { return paste({"--type", type}); }

private slots:
    // Plain text, HTML, files and TIFF pictures are the same rules as on X11 (its test).
    void recordsAndCopiesBack_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("offered");
        const QString marker = "local.kiwano-snapper.clip";
        QTest::newRow("styled text")
            << QStringList{"--type", "text/plain;charset=utf-8=styled", "--type", "text/html=<b>styled</b>"}
            << QStringList{"text/plain;charset=utf-8", "text/html"} << "styled"
            << QStringList{"text/plain;charset=utf-8", "text/html", marker};
        QTest::newRow("png") << QStringList{"--type-file", "image/png=<home>/copied.png"} << QStringList{"image/png"}
                             << "Image 64 \u00D7 32" << QStringList{"image/png", marker};
        // The hint comes last here, and is still read first.
        QTest::newRow("secret password hint")
            << QStringList{"--type", "text/plain=pw", "--type", "x-kde-passwordManagerHint=secret"} << QStringList{}
            << QString() << QStringList{};
    }

private:
    static QByteArray paste(const QStringList &arguments)
    {
        QProcess paste;
        paste.setProcessEnvironment(WaylandSession::environment());
        paste.start("wl-paste", QStringList{"--no-newline"} + arguments);
        return paste.waitForFinished(5000) ? paste.readAllStandardOutput() : QByteArray("wl-paste did not finish");
    }

    QProcess m_source;
};

KIWANO_TEST_MAIN(TestClipboardWayland)
#include "test_clipboardwayland.moc"
