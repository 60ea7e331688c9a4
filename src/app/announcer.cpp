// SPDX-License-Identifier: MIT
#include "app/announcer.h"

#include "editor/model/editormodel.h"
#include "platform/dbusnotifications.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <utility>

Announcer::Announcer(std::function<EditorModel *()> modelInFront, std::function<QSystemTrayIcon *()> trayIcon,
                     QObject *parent)
    : QObject(parent)
    , m_modelInFront(std::move(modelInFront))
    , m_trayIcon(std::move(trayIcon))
{
}

Announcer::~Announcer() = default;

void Announcer::warn(const QString &text)
{
    tell(text, QSystemTrayIcon::Warning);
}

void Announcer::inform(const QString &text)
{
    tell(text, QSystemTrayIcon::Information);
}

void Announcer::tell(const QString &text, QSystemTrayIcon::MessageIcon icon)
{
    // Always in the log, whoever else hears of it.
    std::fprintf(stderr, "kiwano-snapper: %s\n", qPrintable(text));
    if (EditorModel *model = m_modelInFront ? m_modelInFront() : nullptr) {
        model->showToast(text);
        return;
    }
    // An icon nobody sees (no tray host, as on GNOME) has no messages either.
    QSystemTrayIcon *tray = m_trayIcon ? m_trayIcon() : nullptr;
    if (tray && tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray->showMessage(QStringLiteral("Kiwano Snapper"), text, icon);
        return;
    }
    if (!m_notifications)
        m_notifications = std::make_unique<DBusNotifications>(
            QStringLiteral("Kiwano Snapper"), QGuiApplication::desktopFileName().isEmpty()
                ? QStringLiteral("org.kiwanosnapper.KiwanoSnapper") : QGuiApplication::desktopFileName());
    m_notifications->notify(QStringLiteral("Kiwano Snapper"), text);
}

void Announcer::cannotReveal(const QString &path)
{
    const QString text = tr("No file manager could show %1.").arg(QFileInfo(path).fileName());
    std::fprintf(stderr, "kiwano-snapper: %s\n", qPrintable(text));
    const auto copyPath = [path] { QGuiApplication::clipboard()->setText(QDir::toNativeSeparators(path)); };
    if (EditorModel *model = m_modelInFront ? m_modelInFront() : nullptr) {
        model->showToast(text, tr("Copy Path"), copyPath);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Kiwano Snapper"), text,
                                QMessageBox::Close, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(QDir::toNativeSeparators(path));
    QPushButton *copy = box->addButton(tr("Copy Path"), QMessageBox::ActionRole);
    connect(copy, &QPushButton::clicked, box, copyPath);
    box->setDefaultButton(copy);
    box->open();
}

void Announcer::grabFailed(const QString &reason)
{
    warn(tr("The grab didn't work: %1").arg(reason));
}

void Announcer::storeTrouble(bool canStore, const QString &dir, bool brokenIndexFound)
{
    if (!canStore)
        warn(tr("Copies can't be stored: something that isn't a folder stands where "
                "the clipboard history should be (%1).")
                 .arg(QDir::toNativeSeparators(dir)));
    else if (brokenIndexFound)
        warn(tr("The clipboard history couldn't be read. It was set aside unchanged, "
                "and a new history has begun."));
}

void Announcer::copyNotStored()
{
    if (!std::exchange(m_toldCopyNotStored, true))
        warn(tr("A copy couldn't be stored. Is the disk full?"));
}
