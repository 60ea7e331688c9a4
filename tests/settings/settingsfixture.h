// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipfixture.h"
#include "fakes/fakehotkeygrabber.h"
#include "hotkeys/hotkeycenter.h"
#include "settings/settingsview.h"
#include "support/files.h"

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

    // The clipboard history the sections are given.
    Clipboard &history() { return *(clipboard ? clipboard : clipboard = &clips.open()); }

    SettingsView::Services services(std::function<bool()> trusted = [] { return true; })
    {
        SettingsView::Services services;
        services.hotKeys = &center;
        services.clipboard = &history();
        services.clipboardServices.trusted = std::move(trusted);
        // An X11 session, whatever the machine running the tests is.
        services.clipboardServices.environment = {};
        services.clipboardServices.environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
        services.clipboardServices.environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        services.chooseFolder = [](QWidget *, const QString &, const QString &) { return std::nullopt; };
        services.quit = [] {};
        return services;
    }

    QTemporaryDir root;
    ClipFixture clips;
    Clipboard *clipboard = nullptr;
    FakeHotKeyGrabber grabber;
    HotKeyCenter center;
};
