// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class EditorModel;
class Notifications;

// Says things where the person is looking: as a notice in the main window when it is in front,
// else as the tray's message when a tray shows the icon, else as a desktop notification; and
// always on standard error.
class Announcer : public QObject
{
    Q_OBJECT

public:
    // modelInFront: the editor model whose notice shows in the main window while that window is
    // the active one, or null. trayIcon: the icon whose messages show, or null.
    Announcer(std::function<EditorModel *()> modelInFront, std::function<QSystemTrayIcon *()> trayIcon,
              QObject *parent = nullptr);
    ~Announcer() override;

    void warn(const QString &text);
    void inform(const QString &text);
    // No file manager showed path: said, with the path offered for copying.
    void cannotReveal(const QString &path);
    // The capture tool's reason why a grab did not land.
    void grabFailed(const QString &reason);
    // What the clipboard store met at start: something that is no folder where the history goes
    // (at dir), or a history it could not read and set aside.
    void storeTrouble(bool canStore, const QString &dir, bool brokenIndexFound);
    // A copy that could not be written: said once a run, or a full disk would speak up at every
    // copy.
    void copyNotStored();

private:
    void tell(const QString &text, QSystemTrayIcon::MessageIcon icon);

    std::function<EditorModel *()> m_modelInFront;
    std::function<QSystemTrayIcon *()> m_trayIcon;
    std::unique_ptr<Notifications> m_notifications;
    bool m_toldCopyNotStored = false;
};
