// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipboard.h"
#include "platform/clipboardservice.h"
#include "platform/clipboardwatcher.h"

#include <QImage>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What the history needs of a desktop's clipboard, whichever service serves it: another program's
// copy is recorded as it happens, with the types the rules keep, and an entry copied back reads the
// same elsewhere, then merges into its entry once the watcher has seen it. A desktop's test says
// how another program copies and reads there, and gives the rows of recordsAndCopiesBack_data:
// the copying program's arguments ("<home>" stands for a folder with copied.png and copied.tiff,
// 64 x 32), the types kept (none: the copy is skipped), the title and what others then see offered.
class ClipboardContract : public QObject
{
    Q_OBJECT

protected:
    // Why this desktop cannot be tested here; empty when it can.
    virtual QString skipReason() { return {}; }
    virtual std::unique_ptr<ClipboardService> makeService() = 0;
    // Whether the started watcher sees copies yet.
    virtual bool watching() { return true; }
    virtual FrontApp *frontApp() { return nullptr; }
    // Another program takes the clipboard and holds it until stopCopying.
    virtual bool startCopying(const QStringList &arguments) = 0;
    virtual void stopCopying() = 0;
    virtual QStringList typesElsewhere() = 0;
    virtual QByteArray readElsewhere(const QString &type) = 0;

    // Another program copies; true once the history has taken the copy or its watcher refused it.
    bool copyElsewhere(const QStringList &arguments)
    {
        QSignalSpy arrived(m_service->watcher(), &ClipboardWatcher::copyArrived);
        QSignalSpy refused(m_service->watcher(), &ClipboardWatcher::copyRefused);
        if (!startCopying(arguments))
            return false;
        (void)QTest::qWaitFor([&] { return !arrived.isEmpty() || !refused.isEmpty(); }, 5000);
        // The spies hear the watcher's thread at once; the recorder's queued call may still wait.
        QCoreApplication::sendPostedEvents(&m_clipboard->recorder(), QEvent::MetaCall);
        m_clipboard->finishPendingCopies();
        return !arrived.isEmpty() || !refused.isEmpty();
    }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<ClipboardService> m_service;
    std::unique_ptr<Clipboard> m_clipboard;

private slots:
    void init()
    {
        if (const QString why = skipReason(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_home = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home->filePath("config"));
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(m_home->filePath("copied.png"), "PNG") && image.save(m_home->filePath("copied.tiff"), "TIFF"));
        m_service = makeService();
        QVERIFY(m_service && m_service->watcher());
        m_clipboard = std::make_unique<Clipboard>(m_service.get(), frontApp(), nullptr, m_home->filePath("Clipboard"));
        m_clipboard->start();
        QVERIFY(!m_clipboard->isPolling());
        QTRY_VERIFY(watching());
    }

    void cleanup()
    {
        stopCopying();
        m_clipboard.reset();
        m_service.reset();
        m_home.reset();
    }

    void recordsAndCopiesBack()
    {
        QFETCH(QStringList, source);
        QFETCH(QStringList, types);
        QFETCH(QString, title);
        QFETCH(QStringList, offered);
        source.replaceInStrings("<home>", m_home->path());
        QVERIFY(copyElsewhere(source));
        if (types.isEmpty()) {
            // Nothing of it is kept; the next copy is.
            QVERIFY(copyElsewhere({"--type", "text/plain=next"}));
            QCOMPARE(m_clipboard->items().size(), 1);
            QCOMPARE(m_clipboard->items().first().title, QStringLiteral("next"));
            return;
        }
        QCOMPARE(m_clipboard->items().size(), 1);
        const ClipItem item = m_clipboard->items().first();
        QStringList kept;
        for (const ClipContent &content : item.contents)
            kept.append(content.type);
        QCOMPARE(kept, types);
        QCOMPARE(item.title, title);
        m_clipboard->store().waitForThumbnails();
        QCOMPARE(m_clipboard->thumbnail(item).value_or(QImage()).size(), item.hasImage ? QSize(64, 32) : QSize(0, 0));
        stopCopying();

        // Others read exactly the stored types back, with the marker of our own copies.
        const qint64 seen = m_service->changeCount();
        m_clipboard->copy(item);
        QCOMPARE(typesElsewhere(), offered);
        for (const ClipContent &content : item.contents)
            QCOMPARE(readElsewhere(content.type), *m_clipboard->store().read(item.id, content.file));
        QCOMPARE(readElsewhere("local.kiwano-snapper.clip"), QByteArray());
        // The history's own write merges into the same entry once the watcher has read it.
        QTRY_COMPARE(m_clipboard->items().first().copies, 2);
        QCOMPARE(m_clipboard->items().size(), 1);
        QVERIFY(m_service->changeCount() != seen);
    }
};
