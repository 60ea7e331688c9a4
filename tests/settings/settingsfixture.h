// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipfixture.h"
#include "fakes/fakehotkeygrabber.h"
#include "hotkeys/hotkeycenter.h"
#include "settings/settingsview.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// Preferences, data, config and the clipboard history in one temporary home for the whole
// process (the default grab folder is fixed on first use); a registry over a fake grabber.
struct SettingsFixture
{
    SettingsFixture()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        QDir().mkpath(root.filePath(QStringLiteral("home")));
        center.setGrabber(&grabber);
        center.registerAll();
    }
    ~SettingsFixture() { center.setGrabber(nullptr); }

    static QSettings preferences() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper"); }
    // Writes a file, making its folder; false when it cannot.
    static bool write(const QString &path, const QByteArray &bytes, QFile::Permissions permissions = {})
    {
        QFile file(path);
        return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
            && (!permissions || file.setPermissions(permissions));
    }
    // The clipboard history the sections are given.
    Clipboard &history() { return *(clipboard ? clipboard : clipboard = &clips.open()); }

    // An X11 session unless told otherwise, whatever the machine running the tests is.
    static QProcessEnvironment session(const QString &type, bool waylandDisplay, bool x11Display)
    {
        QProcessEnvironment env;
        if (!type.isEmpty())
            env.insert(QStringLiteral("XDG_SESSION_TYPE"), type);
        if (waylandDisplay)
            env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        if (x11Display)
            env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        return env;
    }

    SettingsView::Services services(std::function<bool()> trusted = [] { return true; })
    {
        SettingsView::Services services;
        services.hotKeys = &center;
        services.clipboard = &history();
        services.clipboardServices.trusted = std::move(trusted);
        services.clipboardServices.environment = session(QStringLiteral("x11"), false, true);
        services.chooseFolder = [](QWidget *, const QString &, const QString &) { return std::nullopt; };
        services.quit = [this] { ++quits; };
        return services;
    }

    QTemporaryDir root;
    ClipFixture clips;
    Clipboard *clipboard = nullptr;
    FakeHotKeyGrabber grabber;
    HotKeyCenter center;
    int quits = 0;
};
