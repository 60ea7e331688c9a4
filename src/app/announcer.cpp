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
