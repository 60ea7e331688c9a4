// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <optional>

// The user's preference store, QSettings in ini format under the config folder, and every key
// the application keeps there with the values it may hold and its default. Reading is checked
// and never repairs: a value outside its range or set (a hand edit, a file of garbage) reads as
// the default, and the file keeps what the user wrote until a setting is changed.
namespace Preferences {

// "true" or "false".
struct Flag
{
    const char *key;
    bool fallback;
};

// A whole number from lower to upper.
struct Number
{
    const char *key;
    int lower;
    int upper;
    int fallback;
};

// An absolute path of a folder this user can write into, or of one that can be made there.
// The default depends on the desktop's folders, so the owner supplies it.
struct Folder
{
    const char *key;
};

// A list of identifiers: each non-empty, without control characters, at most maxLength long;
// at most maxCount of them. The default is an empty list.
struct Names
{
    const char *key;
    int maxCount;
    int maxLength;
};

// A family of keys, prefix + name, holding bytes that the owner decodes; the owner's decoder
// is the allowed set and its built-in value the default.
struct Blob
{
    const char *prefix;
};

inline constexpr Flag saveAsk{"save.ask", true};
inline constexpr Flag clipboardEnabled{"clipboard.enabled", true};
inline constexpr Flag clipboardPaste{"clipboard.paste", true};
inline constexpr Flag clipboardClearOnQuit{"clipboard.clearOnQuit", false};
inline constexpr Flag automaticUpdateChecks{"update.automaticChecks", true};
// What the settings window's "Keep" stepper offers.
inline constexpr Number clipboardLimit{"clipboard.limit", 50, 1000, 200};
inline constexpr Folder historyFolder{"history.folder"};
inline constexpr Folder saveFolder{"save.folder"};
inline constexpr Names clipboardIgnoredApps{"clipboard.ignoredApps", 1000, 255};
inline constexpr Blob hotKey{"hotkey."};
inline constexpr Blob toolDefault{"toolDefault."};

// The store: $XDG_CONFIG_HOME/KiwanoSnapper/KiwanoSnapper.ini.
QSettings store();

// The program's own state that is no setting (the main window's frame, the place of the last grab):
// KiwanoSnapperEditor.ini beside the store, so that the user's settings file changes only when a
// setting does.
QSettings stateStore();

// The main window's frame, as QWidget::saveGeometry() gives it. It is the window's own state, not
// a setting: it lives in KiwanoSnapperEditor.ini beside the store, so that the user's settings
// file changes only when a setting does.
QByteArray windowFrame();
void setWindowFrame(const QByteArray &frame);

bool value(const Flag &flag);
int value(const Number &number);
// The stored folder when it is usable, else nothing (the owner's default applies).
std::optional<QString> value(const Folder &folder);
QStringList value(const Names &names);
// The bytes stored under prefix + name: nothing when the key is absent or holds anything but
// bytes (text, a number, a list); empty bytes are a value.
std::optional<QByteArray> value(const Blob &blob, const QString &name);
std::optional<QByteArray> value(const Blob &blob, const QString &name, const QSettings &settings);

// The checks alone, for values that do not come from the store.
bool isUsableFolder(const QString &path);
bool isValid(const Number &number, int value);
bool isValid(const Names &names, const QStringList &list);

void setValue(const Flag &flag, bool on);
// Stores the value moved into the range, so that it reads back as stored.
void setValue(const Number &number, int value);
void setValue(const Folder &folder, const QString &path);
void setValue(const Names &names, const QStringList &list);
void setValue(const Blob &blob, const QString &name, const QByteArray &bytes);
void setValue(const Blob &blob, const QString &name, const QByteArray &bytes, QSettings &settings);
void remove(const Folder &folder);

} // namespace Preferences
