// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// One application's desktop file, as far as identifying and naming applications needs it.
struct DesktopEntry
{
    QString id;             // the desktop-file id without ".desktop", e.g. "org.gnome.Terminal"
    QString name;           // Name, in the user's language when the file has it
    QString startupWmClass;
    QString icon;           // Icon: a theme icon name or an absolute path; may be empty
    QString executable;     // Exec's program as an absolute canonical path; empty when not found
    bool noDisplay = false;
};

// The applications installed in the XDG data folders (applications/ below each), the user's own
// folder first so that its files hide the system's ones of the same id.
class DesktopEntries
{
public:
    explicit DesktopEntries(const QStringList &dataDirs);

    // The index of the current XDG data folders, shared and re-read only when one of the
    // applications folders or the list of data folders changed. Safe from any thread.
    static std::shared_ptr<const DesktopEntries> installed();

    // Every entry, one per id, in the order of the data folders.
    const QList<DesktopEntry> &entries() const { return m_entries; }
    // The entry with this id; nothing when none is installed.
    std::optional<DesktopEntry> byId(const QString &id) const;
    // The first entry whose StartupWMClass is exactly this; nothing when none has it.
    std::optional<DesktopEntry> byStartupWmClass(const QString &wmClass) const;
    // The entry of the window's application: StartupWMClass against the WM_CLASS class, then the
    // instance, then the program the window's process runs, accepted only when one shown entry
    // (or else exactly one entry) starts it. Nothing when none resolves.
    std::optional<DesktopEntry> forWindow(const QString &wmInstance, const QString &wmClass,
                                          const QString &executable) const;

    // Reads one desktop file; nothing when it is not a visible application entry (no
    // [Desktop Entry], not Type=Application, Hidden=true, unreadable).
    static std::optional<DesktopEntry> read(const QString &path, const QString &id,
                                            const QString &locale);
    // The program an Exec line starts: its first word unquoted, past a leading "env VAR=value".
    static QString program(const QString &exec);
    // The program a local process runs, from /proc; empty when it cannot be read.
    static QString executableOf(qint64 pid);

private:
    QList<DesktopEntry> m_entries;
};
