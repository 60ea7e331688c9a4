// SPDX-License-Identifier: MIT
#include "hotkeys/desktopscreenshots.h"

#include "hotkeys/keyboard.h"
#include "platform/keycodes.h"

#include <QFile>
#include <QHash>
#include <QKeySequence>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace DesktopScreenshots {

namespace {

constexpr quint32 keyPrint = 105;
const QString gnomeSchema = QStringLiteral("org.gnome.shell.keybindings");
const QString spectacleGroup = QStringLiteral("org.kde.spectacle.desktop");
const QString spectacleServicesGroup = QStringLiteral("services][org.kde.spectacle.desktop");

struct Entry
{
    QString name;
    QList<HotKey> factory;
};

// GNOME's three screenshot bindings with what a fresh install gives them.
const QList<Entry> &gnomeEntries()
{
    static const QList<Entry> entries{
        {QStringLiteral("screenshot"), {HotKey(keyPrint, Qt::ShiftModifier)}},
        {QStringLiteral("screenshot-window"), {HotKey(keyPrint, Qt::AltModifier)}},
        {QStringLiteral("show-screenshot-ui"), {HotKey(keyPrint, Qt::NoModifier)}},
    };
    return entries;
}

// Spectacle's shortcuts as it installs them; newer Plasma stores only the ones a user changed.
const QList<Entry> &spectacleEntries()
{
    static const QList<Entry> entries{
        {QStringLiteral("_launch"), {HotKey(keyPrint, Qt::NoModifier)}},
        {QStringLiteral("FullScreenScreenShot"), {HotKey(keyPrint, Qt::ShiftModifier)}},
        {QStringLiteral("ActiveWindowScreenShot"), {HotKey(keyPrint, Qt::MetaModifier)}},
        {QStringLiteral("RectangularRegionScreenShot"),
         {HotKey(keyPrint, Qt::MetaModifier | Qt::ShiftModifier)}},
        {QStringLiteral("WindowUnderCursorScreenShot"),
         {HotKey(keyPrint, Qt::MetaModifier | Qt::ControlModifier)}},
    };
    return entries;
}

QList<HotKey> factoryTable()
{
    return {HotKey(keyPrint, Qt::NoModifier), HotKey(keyPrint, Qt::ShiftModifier), HotKey(keyPrint, Qt::AltModifier)};
}

// A key named by a character goes through the current layout first, so that a binding typed
// on it lands on the same key position a press would.
std::optional<quint32> keyCodeForQtKey(int qtKey, const QString &character)
{
    if (character.size() == 1 && character.at(0).isLetterOrNumber()) {
        if (const auto code = Keyboard::keyCode(character.toLower()))
            return *code;
    }
    if (const auto code = KeyCodes::fromQtKey(qtKey))
        return *code;
    return std::nullopt;
}

// A GVariant list of strings: ['<Shift>Print', 'Print'] or @as []; nothing when malformed.
std::optional<QStringList> parseStringList(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u"@as"))
        text = text.mid(3).trimmed();
    if (!text.startsWith(u'[') || !text.endsWith(u']'))
        return std::nullopt;
    text = text.mid(1, text.size() - 2);
    QStringList items;
    qsizetype i = 0;
    const auto skipSpace = [&] { while (i < text.size() && text.at(i).isSpace()) ++i; };
    skipSpace();
    while (i < text.size()) {
        const QChar quote = text.at(i);
        if (quote != u'\'' && quote != u'"')
            return std::nullopt;
        QString item;
        for (++i; i < text.size() && text.at(i) != quote; ++i) {
            if (text.at(i) == u'\\' && i + 1 < text.size())
                ++i;
            item += text.at(i);
        }
        if (i >= text.size())
            return std::nullopt;
        ++i;
        items.append(item);
        skipSpace();
        if (i < text.size()) {
            if (text.at(i) != u',')
                return std::nullopt;
            ++i;
            skipSpace();
        }
    }
    return items;
}

// The value gsettings printed for each key of the schema.
QHash<QString, QString> gnomeValues(const QString &output)
{
    QHash<QString, QString> values;
    for (const QString &line : output.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.startsWith(gnomeSchema + u' '))
            continue;
        const QString rest = trimmed.mid(gnomeSchema.size() + 1);
        const qsizetype space = rest.indexOf(u' ');
        if (space > 0)
            values.insert(rest.left(space), rest.mid(space + 1));
    }
    return values;
}

// Each entry's shortcuts: an entry the settings do not hold, or hold in a shape that cannot be
// read, keeps its factory shortcut; an empty list is a shortcut turned off.
QList<HotKey> gnomeShortcuts(const QHash<QString, QString> &values)
{
    QList<HotKey> keys;
    for (const Entry &entry : gnomeEntries()) {
        const auto list = values.contains(entry.name) ? parseStringList(values.value(entry.name))
                                                      : std::nullopt;
        if (!list) {
            keys += entry.factory;
            continue;
        }
        for (const QString &accelerator : *list) {
            if (const auto key = fromGtkAccelerator(accelerator))
                keys.append(*key);
        }
    }
    return keys;
}

// The entries of one group of an INI-like file, or nothing when the group is absent.
std::optional<QHash<QString, QString>> iniGroup(const QString &text, const QString &group)
{
    std::optional<QHash<QString, QString>> entries;
    bool inGroup = false;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            inGroup = trimmed.mid(1, trimmed.size() - 2) == group;
            if (inGroup && !entries)
                entries.emplace();
            continue;
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        if (inGroup && equals > 0)
            entries->insert(trimmed.left(equals).trimmed(), trimmed.mid(equals + 1));
    }
    return entries;
}

// "Meta+Print\tPrint" or "none": the active shortcuts of one KDE value.
QList<HotKey> kdeActive(const QString &active)
{
    QList<HotKey> keys;
    for (const QString &shortcut : active.split(u'\t')) {
        if (const auto key = fromKdeShortcut(shortcut))
            keys.append(*key);
    }
    return keys;
}

std::optional<QList<HotKey>> kdeShortcuts(const QString &text)
{
    // Plasma 6 keeps changed shortcuts alone under "services"; older ones keep every shortcut
    // as "active,default,description".
    if (const auto changed = iniGroup(text, spectacleServicesGroup)) {
        QList<HotKey> keys;
        for (const Entry &entry : spectacleEntries()) {
            if (!changed->contains(entry.name))
                keys += entry.factory;
        }
        for (auto it = changed->cbegin(); it != changed->cend(); ++it)
            keys += kdeActive(it.value());
        return keys;
    }
    const auto entries = iniGroup(text, spectacleGroup);
    if (!entries)
        return std::nullopt;
    QList<HotKey> keys;
    for (auto it = entries->cbegin(); it != entries->cend(); ++it) {
        if (!it.key().startsWith(QLatin1String("_k_")))
            keys += kdeActive(it.value().section(u',', 0, 0));
    }
    return keys;
}

} // namespace

Settings read()
{
    Settings settings;
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (!gsettings.isEmpty()) {
        QProcess process;
        process.start(gsettings, {QStringLiteral("list-recursively"), gnomeSchema});
        if (process.waitForFinished(2000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0) {
            settings.gnome = QString::fromUtf8(process.readAllStandardOutput());
        } else if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(500);
        }
    }
    QFile kde(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
              + QLatin1String("/kglobalshortcutsrc"));
    if (kde.open(QIODevice::ReadOnly))
        settings.kde = QString::fromUtf8(kde.readAll());
    return settings;
}

QList<HotKey> shortcuts(const Settings &settings)
{
    std::optional<QList<HotKey>> keys;
    if (settings.gnome) {
        const auto values = gnomeValues(*settings.gnome);
        if (!values.isEmpty())
            keys = gnomeShortcuts(values);
    }
    if (settings.kde) {
        if (const auto kde = kdeShortcuts(*settings.kde))
            keys = keys.value_or(QList<HotKey>()) + *kde;
    }
    return keys ? *keys : factoryTable();
}

bool isTaken(const HotKey &key, const Settings &settings)
{
    return shortcuts(settings).contains(key);
}

std::optional<HotKey> fromGtkAccelerator(const QString &accelerator)
{
    static const QHash<QString, Qt::KeyboardModifier> modifierNames{
        {QStringLiteral("shift"), Qt::ShiftModifier},  {QStringLiteral("control"), Qt::ControlModifier},
        {QStringLiteral("ctrl"), Qt::ControlModifier}, {QStringLiteral("primary"), Qt::ControlModifier},
        {QStringLiteral("ctl"), Qt::ControlModifier},  {QStringLiteral("alt"), Qt::AltModifier},
        {QStringLiteral("mod1"), Qt::AltModifier},     {QStringLiteral("super"), Qt::MetaModifier},
        {QStringLiteral("mod4"), Qt::MetaModifier},
    };
    static const QHash<QString, int> keyNames{
        {QStringLiteral("Print"), Qt::Key_Print},       {QStringLiteral("Sys_Req"), Qt::Key_Print},
        {QStringLiteral("space"), Qt::Key_Space},       {QStringLiteral("Return"), Qt::Key_Return},
        {QStringLiteral("Tab"), Qt::Key_Tab},           {QStringLiteral("BackSpace"), Qt::Key_Backspace},
        {QStringLiteral("Delete"), Qt::Key_Delete},     {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("Home"), Qt::Key_Home},         {QStringLiteral("End"), Qt::Key_End},
        {QStringLiteral("Page_Up"), Qt::Key_PageUp},    {QStringLiteral("Prior"), Qt::Key_PageUp},
        {QStringLiteral("Page_Down"), Qt::Key_PageDown}, {QStringLiteral("Next"), Qt::Key_PageDown},
        {QStringLiteral("Left"), Qt::Key_Left},         {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Up"), Qt::Key_Up},             {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Insert"), Qt::Key_Insert},     {QStringLiteral("Pause"), Qt::Key_Pause},
        {QStringLiteral("Scroll_Lock"), Qt::Key_ScrollLock}, {QStringLiteral("minus"), Qt::Key_Minus},
        {QStringLiteral("equal"), Qt::Key_Equal},       {QStringLiteral("comma"), Qt::Key_Comma},
        {QStringLiteral("period"), Qt::Key_Period},     {QStringLiteral("slash"), Qt::Key_Slash},
        {QStringLiteral("backslash"), Qt::Key_Backslash}, {QStringLiteral("semicolon"), Qt::Key_Semicolon},
        {QStringLiteral("apostrophe"), Qt::Key_Apostrophe}, {QStringLiteral("grave"), Qt::Key_QuoteLeft},
        {QStringLiteral("bracketleft"), Qt::Key_BracketLeft},
        {QStringLiteral("bracketright"), Qt::Key_BracketRight},
    };
    static const QRegularExpression functionKey(QStringLiteral("^F([1-9]|1[0-9]|20)$"));

    QString rest = accelerator.trimmed();
    Qt::KeyboardModifiers modifiers;
    while (rest.startsWith(u'<')) {
        const qsizetype close = rest.indexOf(u'>');
        if (close < 0)
            return std::nullopt;
        const QString name = rest.mid(1, close - 1).toLower();
        if (!modifierNames.contains(name))
            return std::nullopt;
        modifiers |= modifierNames.value(name);
        rest = rest.mid(close + 1);
    }
    if (rest.isEmpty())
        return std::nullopt;

    int qtKey = 0;
    if (const auto match = functionKey.match(rest); match.hasMatch())
        qtKey = Qt::Key_F1 + match.captured(1).toInt() - 1;
    else if (keyNames.contains(rest))
        qtKey = keyNames.value(rest);
    else if (rest.size() == 1 && rest.at(0).isLetterOrNumber())
        qtKey = rest.at(0).toUpper().unicode();
    else
        return std::nullopt;
    const auto keyCode = keyCodeForQtKey(qtKey, rest);
    return keyCode ? std::optional<HotKey>(HotKey(*keyCode, modifiers)) : std::nullopt;
}

std::optional<HotKey> fromKdeShortcut(const QString &shortcut)
{
    const QString text = shortcut.trimmed();
    if (text.isEmpty() || text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    // A chord of several keys is no single combination a grab could take.
    if (sequence.count() != 1)
        return std::nullopt;
    const QKeyCombination combination = sequence[0];
    if (combination.key() == Qt::Key_unknown)
        return std::nullopt;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const int qtKey = combination.key();
    const QString character = qtKey < 0x80 ? QString(QChar(qtKey)) : QString();
    const auto keyCode = keyCodeForQtKey(qtKey, character);
    return keyCode ? std::optional<HotKey>(HotKey(*keyCode, modifiers)) : std::nullopt;
}

} // namespace DesktopScreenshots
